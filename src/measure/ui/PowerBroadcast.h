#pragma once

#include <QDBusUnixFileDescriptor>
#include <QObject>

namespace vireon {

// The system's sleep and wake, as the login manager announces them on the system bus. While the
// program runs it holds a delay lock, so that the machine waits for `AboutToSleep` to be
// handled (a running measurement stopped) before it sleeps. Without a system bus or a login
// manager nothing is announced.
class PowerBroadcast : public QObject {
  Q_OBJECT

 public:
  explicit PowerBroadcast(QObject* parent = nullptr);

 signals:
  void AboutToSleep();
  void Woke();

 public slots:
  // The login manager's "PrepareForSleep": true before sleeping, false after waking.
  void PrepareForSleep(bool going_to_sleep);

 private:
  void TakeDelayLock();

  QDBusUnixFileDescriptor delay_lock_;  // released to let the machine sleep
};

}  // namespace vireon
