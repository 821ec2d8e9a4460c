#include "measure/ui/PowerBroadcast.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>

namespace vireon {
namespace {

constexpr const char* kService = "org.freedesktop.login1";
constexpr const char* kPath = "/org/freedesktop/login1";
constexpr const char* kManager = "org.freedesktop.login1.Manager";
// The login manager answers at once or not at all: start-up must not wait on it.
constexpr int kCallTimeoutMs = 500;

}  // namespace

PowerBroadcast::PowerBroadcast(QObject* parent) : QObject(parent) {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) return;
  if (bus.connect(kService, kPath, kManager, "PrepareForSleep", this,
                  SLOT(PrepareForSleep(bool)))) {
    TakeDelayLock();
  }
}

void PowerBroadcast::PrepareForSleep(bool going_to_sleep) {
  if (going_to_sleep) {
    emit AboutToSleep();
    delay_lock_ = QDBusUnixFileDescriptor();  // closing it lets the machine go
  } else {
    emit Woke();
    TakeDelayLock();
  }
}

void PowerBroadcast::TakeDelayLock() {
  QDBusMessage inhibit = QDBusMessage::createMethodCall(kService, kPath, kManager, "Inhibit");
  inhibit << QStringLiteral("sleep") << QStringLiteral("Vireon")
          << QStringLiteral("A running measurement is stopped first") << QStringLiteral("delay");
  const QDBusReply<QDBusUnixFileDescriptor> reply =
      QDBusConnection::systemBus().call(inhibit, QDBus::Block, kCallTimeoutMs);
  if (reply.isValid()) delay_lock_ = reply.value();
}

}  // namespace vireon
