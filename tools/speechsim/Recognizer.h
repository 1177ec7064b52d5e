// The recognizer stand-in: the shared recognition context, the in-process recognizer, and the
// objects reached from them.
// Utterances (from the pipe or the simulator window) become Recognition or FalseRecognition events.
#pragma once

#include <windows.h>

#include <string>

namespace speechsim {

enum class Outcome { Recognition, FalseRecognition, Ignored };

// The class factories' work for CLSID_SpSharedRecoContext and CLSID_SpInprocRecognizer.
HRESULT createRecoContext(REFIID iid, void** object);
HRESULT createInprocRecognizer(REFIID iid, void** object);

// Offers `text` to every live context of this process, raising the events on this thread;
// `source` ("pipe", "window") only goes into the log.
Outcome hearUtterance(const std::wstring& text, const char* source);

}  // namespace speechsim
