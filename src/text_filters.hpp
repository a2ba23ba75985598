// Byte-level rewrites that let the run-time's list input read component files
// as they are published: CR-LF line ends, sample values that touch, and the
// words that open the interval record.
#ifndef CDMG2CSV_TEXT_FILTERS_HPP
#define CDMG2CSV_TEXT_FILTERS_HPP

#include <cstddef>
#include <string>
#include <string_view>

// Removes every carriage return that stands right before a line feed from
// `text`, carrying state across calls so that a text cut into pieces gives
// the same result as the whole. A carriage return anywhere else stays.
class LineEndFilter {
public:
  // Appends the filtered form of `piece` to `out`.
  void filter(std::string_view piece, std::string &out);
  // Appends what is held back at the end of the text.
  void finish(std::string &out);

private:
  bool pending_carriage_return_ = false;
};

// Puts a blank before every sign that starts a new value although it touches
// the value before it, as fixed fields of ten columns write a negative value
// that fills its field: "-55.60712-177.19197" becomes "-55.60712 -177.19197".
// A + or - starts a new value when it directly follows a digit or a decimal
// point and is followed by digits and a point, or by a point and a digit. A
// sign followed by digits alone stays an exponent ("1.5-3" is 0.0015). State
// is carried across calls, so a text cut into pieces gives the same result as
// the whole.
class TouchingValueFilter {
public:
  // Appends the filtered form of `piece` to `out`.
  void filter(std::string_view piece, std::string &out);
  // Appends what is held back at the end of the text.
  void finish(std::string &out);

private:
  enum class Held {
    kNothing,
    kSign,       // a sign right after a digit or point
    kSignDigits, // that sign and digits after it
    kSignPoint,  // that sign and a point after it
  };
  void take(char c, std::string &out);
  // Writes what is held, with a blank before it when it starts a value.
  void release(bool starts_value, std::string &out);

  Held held_ = Held::kNothing;
  std::string held_text_;
  bool after_digit_or_point_ = false;
};

// The length of the text to blank at the start of an interval record that
// opens, after blanks, with the words "At equally-spaced intervals of" in any
// letter case, so that the interval is read as the first value after them; 0
// when the record does not open with them.
std::size_t interval_words_end(std::string_view record);

#endif
