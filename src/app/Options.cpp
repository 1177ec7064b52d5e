#include "app/Options.h"

#include "app/AppTexts.h"

namespace sayvane {
namespace {

constexpr std::u16string_view kSection = u"Options";
constexpr std::u16string_view kRecognizerKey = u"Recognizer";
constexpr std::u16string_view kGameKeysKey = u"GameKeys";
constexpr std::u16string_view kShared = u"shared";
constexpr std::u16string_view kOwn = u"own";

std::optional<std::u16string> read(Settings& settings, std::u16string_view key) {
  return settings.read(std::u16string(kSettingsApplication), std::u16string(kSection), std::u16string(key));
}

bool write(Settings& settings, std::u16string_view key, std::u16string_view value) {
  return settings.write(std::u16string(kSettingsApplication), std::u16string(kSection), std::u16string(key),
                        std::u16string(value));
}

}  // namespace

Options readOptions(Settings& settings) {
  Options options;
  if (read(settings, kRecognizerKey) == kOwn) options.recognizer = RecognizerChoice::Own;
  options.gameKeys = read(settings, kGameKeysKey) == u"1";
  return options;
}

bool writeOptions(Settings& settings, const Options& options) {
  const bool recognizer =
      write(settings, kRecognizerKey, options.recognizer == RecognizerChoice::Own ? kOwn : kShared);
  return write(settings, kGameKeysKey, options.gameKeys ? u"1" : u"0") && recognizer;
}

}  // namespace sayvane
