// The speech API's shared recognition context and its command grammar, driven through their
// automation interfaces; recognitions arrive as the context's events on this (the UI) thread.
#pragma once

#include <functional>
#include <string>

#include "platform/Recognizer.h"
#include "platform/win32/Automation.h"

namespace sayvane::win32 {

class SapiRecognizer final : public Recognizer {
 public:
  // Creates the recognition context's automation object into `*context`.
  using ContextFactory = std::function<HRESULT(IDispatch** context)>;

  // The system's shared recognition context (COM must be initialised on this thread).
  SapiRecognizer();
  explicit SapiRecognizer(ContextFactory createContext);
  ~SapiRecognizer() override;

  // `recognition` gets the text of each recognition, `falseRecognition` is told of each
  // utterance that matched nothing. Either may pump messages, destroy this recognizer or end
  // the program.
  void setEventHandlers(std::function<void(const std::u16string& text)> recognition,
                        std::function<void()> falseRecognition);

  [[nodiscard]] bool createContext() override;
  [[nodiscard]] std::optional<std::vector<std::u16string>> recognizerDescriptions() override;
  [[nodiscard]] bool createGrammar() override;
  [[nodiscard]] bool loadDictation() override;
  [[nodiscard]] bool deactivateDictation() override;
  [[nodiscard]] std::optional<std::uint32_t> eventInterests() override;
  [[nodiscard]] bool setEventInterests(std::uint32_t interests) override;
  [[nodiscard]] bool loadCommandFile(const std::u16string& path) override;
  [[nodiscard]] bool setRulesActive(bool active) override;

 private:
  HRESULT onEvent(DISPID member, DISPPARAMS& parameters);

  ContextFactory factory_;
  ComPtr<IDispatch> context_;
  ComPtr<IDispatch> grammar_;
  EventConnection events_;
  std::function<void(const std::u16string&)> recognition_;
  std::function<void()> falseRecognition_;
};

}  // namespace sayvane::win32
