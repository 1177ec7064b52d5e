#include "platform/posix/IconvCodePage936.h"

#include <iconv.h>

#include <cerrno>

namespace sayvane {
namespace {

// Converts one unit of input at a time when asked, so the failing character can be named.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Returns false and the input offset where conversion stopped.
  bool run(const char* in, std::size_t size, std::string& out, std::size_t& failedAt) {
    char* src = const_cast<char*>(in);
    std::size_t left = size;
    char buffer[4096];
    while (left > 0) {
      char* dst = buffer;
      std::size_t room = sizeof buffer;
      const auto r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buffer, static_cast<std::size_t>(dst - buffer));
      if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
        failedAt = size - left;
        return false;
      }
    }
    char* dst = buffer;
    std::size_t room = sizeof buffer;
    iconv(cd_, nullptr, nullptr, &dst, &room);
    out.append(buffer, static_cast<std::size_t>(dst - buffer));
    return true;
  }

 private:
  iconv_t cd_;
};

}  // namespace

Encoded IconvCodePage936::encode(const std::u16string& text) {
  Encoded result;
  Converter converter("CP936", "UTF-16LE");
  if (!converter.valid()) return result;
  std::string in;
  in.reserve(text.size() * 2);
  for (char16_t c : text) {
    in.push_back(static_cast<char>(c & 0xFF));
    in.push_back(static_cast<char>(c >> 8));
  }
  std::string out;
  std::size_t failedAt = 0;
  if (!converter.run(in.data(), in.size(), out, failedAt)) {
    result.badIndex = failedAt / 2;
    return result;
  }
  result.bytes = std::move(out);
  return result;
}

std::optional<std::u16string> IconvCodePage936::decode(const std::string& bytes) {
  Converter converter("UTF-16LE", "CP936");
  if (!converter.valid()) return std::nullopt;
  std::string out;
  std::size_t failedAt = 0;
  if (!converter.run(bytes.data(), bytes.size(), out, failedAt)) return std::nullopt;
  std::u16string text;
  text.reserve(out.size() / 2);
  for (std::size_t i = 0; i + 1 < out.size(); i += 2)
    text.push_back(static_cast<char16_t>(static_cast<unsigned char>(out[i]) | (static_cast<unsigned char>(out[i + 1]) << 8)));
  return text;
}

}  // namespace sayvane

#include "platform/HostCodePage936.h"

namespace sayvane {
std::unique_ptr<CodePage936> makeHostCodePage936() { return std::make_unique<IconvCodePage936>(); }
}  // namespace sayvane
