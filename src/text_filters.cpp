#include "text_filters.hpp"

#include "record_layout.hpp"

#include <cctype>

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr char kPoint = '.';

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_sign(char c) { return c == '+' || c == '-'; }
bool is_blank(char c) { return c == ' ' || c == '\t'; }

char lower(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

} // namespace

void LineEndFilter::filter(std::string_view piece, std::string &out) {
  for (const char c : piece) {
    if (pending_carriage_return_ && c != kLineFeed) {
      out.push_back(kCarriageReturn);
    }
    pending_carriage_return_ = c == kCarriageReturn;
    if (!pending_carriage_return_) {
      out.push_back(c);
    }
  }
}

void LineEndFilter::finish(std::string &out) {
  if (pending_carriage_return_) {
    out.push_back(kCarriageReturn);
    pending_carriage_return_ = false;
  }
}

void TouchingValueFilter::filter(std::string_view piece, std::string &out) {
  for (const char c : piece) {
    take(c, out);
  }
}

void TouchingValueFilter::finish(std::string &out) {
  release(false, out);
}

void TouchingValueFilter::release(bool starts_value, std::string &out) {
  if (held_ == Held::kNothing) {
    return;
  }
  if (starts_value) {
    out.push_back(' ');
  }
  out += held_text_;
  after_digit_or_point_ = is_digit(held_text_.back()) ||
                          held_text_.back() == kPoint;
  held_text_.clear();
  held_ = Held::kNothing;
}

void TouchingValueFilter::take(char c, std::string &out) {
  switch (held_) {
  case Held::kNothing:
    break;
  case Held::kSign:
    if (is_digit(c)) {
      held_ = Held::kSignDigits;
      held_text_.push_back(c);
      return;
    }
    if (c == kPoint) {
      held_ = Held::kSignPoint;
      held_text_.push_back(c);
      return;
    }
    release(false, out);
    break;
  case Held::kSignDigits:
    if (is_digit(c)) {
      held_text_.push_back(c);
      return;
    }
    release(c == kPoint, out);
    break;
  case Held::kSignPoint:
    release(is_digit(c), out);
    break;
  }
  // Nothing is held now: `c` is an ordinary character, or a sign that may
  // start a touching value of its own.
  if (is_sign(c) && after_digit_or_point_) {
    held_ = Held::kSign;
    held_text_.push_back(c);
    return;
  }
  out.push_back(c);
  after_digit_or_point_ = is_digit(c) || c == kPoint;
}

std::size_t interval_words_end(std::string_view record) {
  const std::string_view words = layout::kIntervalWords;
  std::size_t start = 0;
  while (start < record.size() && is_blank(record[start])) {
    ++start;
  }
  if (record.size() - start < words.size()) {
    return 0;
  }
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (lower(record[start + i]) != lower(words[i])) {
      return 0;
    }
  }
  return start + words.size();
}
