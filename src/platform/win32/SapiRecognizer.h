// The speech API's recognition context and its command grammar, driven through their
// automation interfaces; recognitions arrive as the context's events on this (the UI) thread.
// The shared recognizer or an in-process one of our own, listening with the first Chinese engine;
// where the one preferred cannot be had (the shared one is gone from today's Windows), the other.
// Every step goes to the diagnostic record with the answer it got.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/DiagnosticRecord.h"
#include "platform/Recognizer.h"
#include "platform/win32/Automation.h"

namespace sayvane::win32 {

class SapiRecognizer final : public Recognizer {
 public:
  // Creates an automation object (the shared context, or the in-process recognizer) into `*object`.
  using Factory = std::function<HRESULT(IDispatch** object)>;

  // The system's classes (COM must be initialised on this thread).
  explicit SapiRecognizer(DiagnosticRecord& record = noRecord());
  explicit SapiRecognizer(Factory sharedContext, Factory inprocRecognizer = {}, DiagnosticRecord& record = noRecord());
  ~SapiRecognizer() override;

  // `recognition` gets the text of each recognition, `falseRecognition` is told of each
  // utterance that matched nothing. Either may pump messages, destroy this recognizer or end
  // the program.
  void setEventHandlers(std::function<void(const std::u16string& text)> recognition,
                        std::function<void()> falseRecognition);

  // Reads the recognizer list too: a shared recognizer whose list cannot be read is given up.
  [[nodiscard]] bool createContext(RecognizerChoice preferred) override;
  [[nodiscard]] std::optional<RecognizerChoice> contextClass() const override;
  void closeContext() override { close(); }
  [[nodiscard]] std::optional<std::vector<std::u16string>> recognizerDescriptions() override;
  [[nodiscard]] std::size_t recognizerInUse() override { return inUse_; }
  [[nodiscard]] bool createGrammar() override;
  [[nodiscard]] bool loadDictation() override;
  [[nodiscard]] bool deactivateDictation() override;
  [[nodiscard]] std::optional<std::uint32_t> eventInterests() override;
  [[nodiscard]] bool setEventInterests(std::uint32_t interests) override;
  [[nodiscard]] bool loadCommandFile(const std::u16string& path) override;
  [[nodiscard]] bool setRulesActive(bool active) override;
  // Each recognizer through a recognizer of its own, and the voices (the system's voice class).
  [[nodiscard]] SpeechSurvey survey() override;
  // Lets the recognizer go now; no event comes after.
  void close();

 private:
  bool openShared();
  bool openInproc();
  bool listen(ComPtr<IDispatch> context, std::u16string_view name);
  // Calls `member`, notes the step with its answer; `result` gets what the call returned.
  HRESULT step(std::u16string call, IDispatch* object, DISPID member, WORD flags,
               std::initializer_list<Variant> arguments = {}, Variant* result = nullptr);
  void noted(std::u16string call, HRESULT answer);
  // The tokens of a recognizer's list, each with its description and language.
  std::optional<std::vector<ComPtr<IDispatch>>> tokens(IDispatch* recognizer, DISPID list, std::u16string_view name,
                                                       std::vector<SpeechToken>& described);
  HRESULT onEvent(DISPID member, DISPPARAMS& parameters);

  Factory shared_;
  Factory inproc_;
  DiagnosticRecord& record_;
  ComPtr<IDispatch> engine_;  // the in-process recognizer, kept for as long as its context
  ComPtr<IDispatch> context_;
  ComPtr<IDispatch> grammar_;
  EventConnection events_;
  // What the last start found: the steps it took, the engines and inputs, the ones in use.
  RecognizerSurvey found_;
  bool surveying_ = false;  // a probe of the speech check, which also reads languages and inputs
  std::size_t inUse_ = 0;
  std::function<void(const std::u16string&)> recognition_;
  std::function<void()> falseRecognition_;
};

}  // namespace sayvane::win32
