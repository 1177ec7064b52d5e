// Sayvane.exe: the real services wired to the main window's model, then the message loop.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/MainWindow.h"
#include "app/win32/CharacterWindow.h"
#include "app/win32/MainWindowView.h"
#include "app/win32/TrayIcon.h"
#include "app/win32/WinDialogs.h"
#include "platform/FallbackCharacterControl.h"
#include "platform/std/ClockRandom.h"
#include "platform/std/FileRecord.h"
#include "platform/std/FolderFiles.h"
#include "platform/win32/AgentCharacterControl.h"
#include "platform/win32/FlushToDisk.h"
#include "platform/win32/MessagePump.h"
#include "platform/win32/ProgramFolder.h"
#include "platform/win32/SapiRecognizer.h"
#include "platform/win32/SystemInfo.h"
#include "platform/win32/WinClipboard.h"
#include "platform/win32/WinForegroundRights.h"
#include "platform/win32/WinCodePage936.h"
#include "platform/win32/WinInput.h"
#include "platform/win32/WinPrograms.h"
#include "platform/win32/WinScreen.h"
#include "platform/win32/WinSettings.h"
#include "platform/win32/WinShell.h"
#include "platform/win32/WinTimer.h"
#include "text/Text.h"
#include "Version.h"

using namespace sayvane;
using namespace sayvane::win32;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // The speech and character clients are COM objects living on this one thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX commonControls{sizeof commonControls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&commonControls);

  int exitCode = 1;
  {
    // From the first step to the last; written whenever the program waits for input.
    FileRecord record(programFolder() / std::u16string(kRecordFile), localTimeStamp);
    record.note(concat({u"Sayvane ", fromUtf8(SAYVANE_VERSION), u" 启动；", describeSystem()}));
    MessagePump pump;
    MainWindowView view(pump);
    if (!view.create(instance)) {
      MessageBoxW(nullptr, L"无法创建主窗口。", L"Sayvane", MB_OK | MB_ICONERROR);
    } else {
      WinInput input;
      WinShell shell(record);
      WinPrograms programs(record);
      WinClipboard clipboard(view.window(), record);
      WinScreen screen;
      ClockRandom random;
      WinDialogs dialogs(view, pump);
      FolderFiles files(programFolder(), flushToDisk);
      WinCodePage936 codePage;
      // The recognizer's and the character's events reach the model as the window's own do.
      SapiRecognizer recognizer(record);
      recognizer.setEventHandlers(
          [&view](const std::u16string& text) { view.deliver([&](MainWindow& m) { m.heard(text); }); },
          [&view] { view.deliver([](MainWindow& m) { m.heardNothing(); }); });
      auto menuChoice = [&view](const std::u16string& name) {
        view.deliver([&](MainWindow& m) { m.characterCommand(name); });
      };
      AgentCharacterControl systemCharacter(record);
      systemCharacter.setCommandHandler(menuChoice);
      BuiltInCharacterControl builtInCharacter(instance, menuChoice, record);
      FallbackCharacterControl characterControl(systemCharacter, builtInCharacter, record);
      WinSettings settings(record);
      WinTimer timer(view.window(), kClearTimerId);
      WinForegroundRights foreground;
      Platform platform{input, shell,    programs,   clipboard,        screen,   random, pump, dialogs,
                        files, codePage, recognizer, characterControl, settings, timer,  view, foreground,
                        record};
      MainWindow model(platform);
      view.attach(model);
      TrayIcon tray(
          instance, [&model] { return model.trayMenu(); },
          [&view](TrayChoice choice) { view.deliver([&](MainWindow& m) { m.trayCommand(choice); }); });
      (void)tray.create();  // without it the character and the voice still lead to the program
      pump.setDialogWindow(view.window());
      pump.setBeforeWait([&view] { view.render(); });
      // The record's lines reach the file when nothing else is to be done: never between a
      // recognition and its keys.
      pump.setWhenIdle([&record] { (void)record.flush(); });
      model.start();
      view.render();  // start-up ends with no event after it to show what it changed
      exitCode = pump.run();
      view.detach();  // nothing may reach the model from here on
      // The end, in the order the user sees it: the character and the icon leave first, then the
      // services other processes keep for us are let go. The windows and the rest go with the
      // process: taking them down one by one only costs time (Wine without a window manager
      // waits two seconds for each shown window it hides).
      systemCharacter.release();
      builtInCharacter.close();
      tray.remove();
      recognizer.close();
      if (SUCCEEDED(com)) CoUninitialize();
      ExitProcess(static_cast<UINT>(exitCode));
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return exitCode;
}
