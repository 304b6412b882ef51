// Format: printf-style text building with the platform's rules. A directive is
// "%" [index ":"] ["-"] [width] ["." precision] type, with "*" taking a width
// or precision from the arguments and "%%" giving "%". Types: d u x (upper-case
// hex) p s e f g; floats use the decimal separator of FormatSettings(), so
// texts meant for SQL or files use FloatToStrGeneral with "." instead. A
// missing or mismatched argument raises EConvertError.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "platform/rtl/strings.h"

// One Format argument. It only refers to text arguments, so it must not
// outlive the expression that builds it.
class TVarRec {
public:
  enum Kind { vkInteger, vkFloat, vkString, vkPointer };

  TVarRec(int v) : kind_(vkInteger), int_(v), bits_(32) {}
  TVarRec(long v) : kind_(vkInteger), int_(v), bits_(8 * sizeof(long)) {}
  TVarRec(long long v) : kind_(vkInteger), int_(v), bits_(64) {}
  TVarRec(unsigned v) : kind_(vkInteger), int_(v), bits_(32) {}
  TVarRec(unsigned long v) : kind_(vkInteger), int_(static_cast<int64_t>(v)), bits_(64), unsigned_(true) {}
  TVarRec(unsigned long long v) : kind_(vkInteger), int_(static_cast<int64_t>(v)), bits_(64), unsigned_(true) {}
  TVarRec(double v) : kind_(vkFloat), float_(v) {}
  TVarRec(char c) : kind_(vkString), char_(c), text_(&char_, 1) {}
  TVarRec(const char* s) : kind_(vkString), text_(s ? std::string_view(s) : std::string_view()) {}
  TVarRec(std::string_view s) : kind_(vkString), text_(s) {}
  TVarRec(const AnsiString& s) : kind_(vkString), text_(s) {}
  TVarRec(const void* p) : kind_(vkPointer), int_(static_cast<int64_t>(reinterpret_cast<uintptr_t>(p))) {}
  TVarRec(const TVarRec& other) { *this = other; }
  TVarRec& operator=(const TVarRec& other);

  Kind kind() const { return kind_; }
  int64_t AsInteger() const { return int_; }
  // The integer as an unsigned of its own width (-1 as int is 0xFFFFFFFF).
  uint64_t AsUnsigned() const;
  bool IsUnsigned() const { return unsigned_; }
  double AsFloat() const { return kind_ == vkFloat ? float_ : static_cast<double>(int_); }
  std::string_view AsString() const { return text_; }

private:
  Kind kind_;
  int64_t int_ = 0;
  double float_ = 0;
  int bits_ = 64;
  bool unsigned_ = false;
  char char_ = 0;
  std::string_view text_;
};

AnsiString Format(std::string_view format, std::initializer_list<TVarRec> args);
AnsiString Format(std::string_view format, const std::vector<TVarRec>& args);
AnsiString Format(std::string_view format, const TVarRec* args, size_t count);
