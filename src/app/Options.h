// The user's choices that outlive a run: which recognizer hears and how keys are sent. They lie
// in the per-user store beside the start-up setting, in a section of their own, since unticking
// the tips box deletes the whole "Startup" section.
#pragma once

#include "platform/Recognizer.h"
#include "platform/Recognizer.h"
#include "platform/Settings.h"

namespace sayvane {

struct Options {
  RecognizerChoice recognizer = RecognizerChoice::Shared;
  bool gameKeys = false;
  friend bool operator==(const Options&, const Options&) = default;
};

// What the store holds; a value that is absent, unreadable or unknown keeps its default.
Options readOptions(Settings& settings);
// Every choice at once; false when the store refused one of them.
[[nodiscard]] bool writeOptions(Settings& settings, const Options& options);

}  // namespace sayvane
