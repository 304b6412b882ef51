// Format directive parsing and the rendering of each argument kind.
#include "platform/rtl/format.h"

#include <cctype>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/numbers.h"

TVarRec& TVarRec::operator=(const TVarRec& other) {
  kind_ = other.kind_;
  int_ = other.int_;
  float_ = other.float_;
  bits_ = other.bits_;
  unsigned_ = other.unsigned_;
  char_ = other.char_;
  // A character argument points at its own copy of the character.
  text_ = other.text_.data() == &other.char_ ? std::string_view(&char_, 1) : other.text_;
  return *this;
}

uint64_t TVarRec::AsUnsigned() const {
  if (bits_ >= 64 || unsigned_) return static_cast<uint64_t>(int_);
  return static_cast<uint64_t>(int_) & ((uint64_t{1} << bits_) - 1);
}

namespace {

constexpr int kNone = -1;

struct Directive {
  bool leftAlign = false;
  int width = kNone;
  int precision = kNone;
  char type = 0;
};

class Formatter {
public:
  Formatter(std::string_view format, const TVarRec* args, size_t count)
      : format_(format), args_(args), count_(count) {}

  AnsiString Run() {
    AnsiString out;
    out.reserve(format_.size() + 16);
    for (size_t i = 0; i < format_.size(); ++i) {
      if (format_[i] != '%') {
        out += format_[i];
        continue;
      }
      if (i + 1 < format_.size() && format_[i + 1] == '%') {
        out += '%';
        ++i;
        continue;
      }
      pos_ = i + 1;
      Directive d = ParseDirective();
      out += Pad(d, Render(d, Next()));
      i = pos_ - 1;
    }
    return out;
  }

private:
  [[noreturn]] void Invalid() const { throw EConvertError(Format(SInvalidFormat, {format_})); }

  const TVarRec& Next() {
    if (arg_ >= count_) throw EConvertError(Format(SArgumentMissing, {format_}));
    return args_[arg_++];
  }

  char Peek() const { return pos_ < format_.size() ? format_[pos_] : '\0'; }

  // A run of digits, or "*" for the next integer argument; kNone when absent.
  int ReadNumber() {
    if (Peek() == '*') {
      ++pos_;
      const TVarRec& arg = Next();
      if (arg.kind() != TVarRec::vkInteger) Invalid();
      return static_cast<int>(arg.AsInteger());
    }
    if (!std::isdigit(static_cast<unsigned char>(Peek()))) return kNone;
    int n = 0;
    while (std::isdigit(static_cast<unsigned char>(Peek()))) {
      n = n * 10 + (format_[pos_++] - '0');
      if (n > 100000) Invalid();
    }
    return n;
  }

  Directive ParseDirective() {
    Directive d;
    int n = ReadNumber();
    if (Peek() == ':') {  // explicit argument index
      ++pos_;
      if (n < 0) n = 0;
      arg_ = static_cast<size_t>(n);
      n = kNone;
    }
    if (n == kNone && Peek() == '-') {
      d.leftAlign = true;
      ++pos_;
    }
    d.width = n != kNone ? n : ReadNumber();
    if (Peek() == '.') {
      ++pos_;
      d.precision = ReadNumber();
    }
    if (pos_ >= format_.size()) Invalid();
    d.type = static_cast<char>(std::tolower(static_cast<unsigned char>(format_[pos_++])));
    return d;
  }

  AnsiString Render(const Directive& d, const TVarRec& arg) const {
    switch (d.type) {
      case 'd': {
        RequireKind(arg, TVarRec::vkInteger);
        if (arg.IsUnsigned()) return Digits(false, std::to_string(arg.AsUnsigned()), d);
        const bool negative = arg.AsInteger() < 0;
        return Digits(negative, IntToStr(arg.AsInteger()).substr(negative), d);
      }
      case 'u':
        RequireKind(arg, TVarRec::vkInteger);
        return Digits(false, std::to_string(arg.AsUnsigned()), d);
      case 'x':
        RequireKind(arg, TVarRec::vkInteger);
        return Digits(false, IntToHex(static_cast<int64_t>(arg.AsUnsigned()), 0), d);
      case 'p':
        RequireKind(arg, TVarRec::vkPointer);
        return IntToHex(arg.AsInteger(), 2 * sizeof(void*));
      case 's': {
        RequireKind(arg, TVarRec::vkString);
        std::string_view s = arg.AsString();
        return AnsiString(d.precision >= 0 ? s.substr(0, d.precision) : s);
      }
      case 'f':
        return FloatToStrFixed(FloatArg(arg), d.precision >= 0 ? d.precision : 2, Separator());
      case 'e':
        return FloatToStrExponent(FloatArg(arg), d.precision >= 0 ? d.precision : 15, 3,
                                  Separator());
      case 'g':
        return FloatToStrGeneral(FloatArg(arg), d.precision >= 0 ? d.precision : 15, Separator());
      default:
        Invalid();
    }
  }

  void RequireKind(const TVarRec& arg, TVarRec::Kind kind) const {
    if (arg.kind() != kind) Invalid();
  }

  static char Separator() { return FormatSettings().DecimalSeparator; }

  // Integers convert to floats; nothing else does.
  double FloatArg(const TVarRec& arg) const {
    if (arg.kind() != TVarRec::vkFloat && arg.kind() != TVarRec::vkInteger) Invalid();
    return arg.AsFloat();
  }

  // The precision of an integer directive is its minimum digit count.
  static AnsiString Digits(bool negative, AnsiString digits, const Directive& d) {
    if (d.precision > static_cast<int>(digits.size()))
      digits.insert(0, static_cast<size_t>(d.precision) - digits.size(), '0');
    return negative ? "-" + digits : digits;
  }

  static AnsiString Pad(const Directive& d, AnsiString text) {
    if (d.width <= static_cast<int>(text.size())) return text;
    AnsiString fill(static_cast<size_t>(d.width) - text.size(), ' ');
    return d.leftAlign ? text + fill : fill + text;
  }

  std::string_view format_;
  const TVarRec* args_;
  size_t count_;
  size_t arg_ = 0;
  size_t pos_ = 0;
};

}  // namespace

AnsiString Format(std::string_view format, const TVarRec* args, size_t count) {
  return Formatter(format, args, count).Run();
}

AnsiString Format(std::string_view format, std::initializer_list<TVarRec> args) {
  return Format(format, args.begin(), args.size());
}

AnsiString Format(std::string_view format, const std::vector<TVarRec>& args) {
  return Format(format, args.data(), args.size());
}
