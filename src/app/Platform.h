// Every platform service the program reaches, in one bundle handed to the main window.
#pragma once

#include "platform/Character.h"
#include "platform/Clipboard.h"
#include "platform/CodePage936.h"
#include "platform/DiagnosticRecord.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/ForegroundRights.h"
#include "platform/Input.h"
#include "platform/Programs.h"
#include "platform/Random.h"
#include "platform/Recognizer.h"
#include "platform/Screen.h"
#include "platform/Settings.h"
#include "platform/Shell.h"
#include "platform/Timer.h"
#include "platform/Waiter.h"
#include "platform/WindowView.h"

namespace sayvane {

struct Platform {
  Input& input;
  Shell& shell;
  Programs& programs;
  Clipboard& clipboard;
  Screen& screen;
  Random& random;
  Waiter& waiter;
  Dialogs& dialogs;
  Files& files;
  CodePage936& codePage;
  Recognizer& recognizer;
  CharacterControl& characterControl;
  Settings& settings;
  Timer& timer;
  WindowView& view;
  ForegroundRights& foreground;
  DiagnosticRecord& record;
};

}  // namespace sayvane
