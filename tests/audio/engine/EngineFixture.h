#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ScriptedCard.h"
#include "audio/engine/FastPump.h"
#include "audio/engine/StreamingEngine.h"

namespace vireon {

// An engine on a scripted loopback card, pumped step by step, with the messages it showed.
struct EngineOnCard {
  explicit EngineOnCard(EngineSettings settings = {}, std::int32_t latency = 0, int rate = 48000,
                        int bits = 24)
      : card(latency),
        engine(card, [this](const std::string& text) { messages.push_back(text); }),
        pump(card, rate, [this] { engine.ServiceTick(); }, {}) {
    engine.Configure(settings);
    engine.SetPlayFormat(rate, bits);
    engine.SetRecordFormat(rate, bits);
  }

  // Steps until `done` holds or `steps` have passed; whether it held.
  template <typename Condition>
  bool PumpUntil(Condition done, int steps = 20000) {
    for (int i = 0; i < steps && !done(); ++i) pump.Step();
    return done();
  }

  ScriptedCard card;
  std::vector<std::string> messages;
  StreamingEngine engine;
  FastPump pump;
};

// Settings of a short test stream: 0.05 s blocks, a 110 ms lead-in.
inline EngineSettings ShortBlocks() {
  EngineSettings settings;
  settings.block_seconds = 0.05;
  settings.stabilizing_ms = 110.0;
  return settings;
}

}  // namespace vireon
