#pragma once

#include "audio/engine/AsyncCaptureControl.h"
#include "audio/engine/EngineBlocks.h"
#include "audio/engine/LevelTrigger.h"

namespace vireon {

class StimulusGenerator;

// The asynchronous engine's work on each block: silent lead-in blocks and then the stimulus on
// both outputs; on the inputs the lead-in is discarded and input 1 goes to capture A, input 2 to
// capture B, straight or behind the level trigger.
class AsyncBlockRoutines final : public BlockRoutines {
 public:
  // Sizes the captures for `captures.length`; the references must outlive the routines.
  AsyncBlockRoutines(const StreamLayout& layout, EngineStatus& status, Captures& captures,
                     StimulusGenerator& generator, AsyncCaptureControl& control);

  void FillOutputBlock(std::span<std::uint8_t> block, std::int32_t frames) override;
  void ProcessInputBlock(std::span<const std::uint8_t> block, std::int32_t frames) override;

 private:
  void BeginCapture();
  void Capture(std::int32_t a, std::int32_t b);

  const StreamLayout layout_;
  EngineStatus& status_;
  Captures& captures_;
  StimulusGenerator& generator_;
  AsyncCaptureControl& control_;
  const std::int32_t length_;  // the capture length of this start, whatever the controller sets
  std::int32_t silence_left_;  // output lead-in frames still to play
  std::int32_t discard_left_;  // input lead-in frames still to discard
  std::int32_t blocks_played_ = 0;
  std::int32_t blocks_recorded_ = 0;
  std::int32_t position_ = 0;
  std::int32_t peak_a_ = 0;
  std::int32_t peak_b_ = 0;
  bool complete_ = false;
  TriggerSettings trigger_settings_;
  TriggeredCapture trigger_;
};

// Builds the asynchronous routines at each start.
BlockRoutinesFactory AsynchronousBlocks(StimulusGenerator& generator, AsyncCaptureControl& control);

}  // namespace vireon
