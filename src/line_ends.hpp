// Reading component files written with CR-LF line ends.
#ifndef CDMG2CSV_LINE_ENDS_HPP
#define CDMG2CSV_LINE_ENDS_HPP

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

// Puts the content of the file open on `descriptor`, read from its start,
// under the same descriptor with its CR-LF line ends made LF line ends.
// Nothing may have been read from the descriptor yet; `name` is the file's
// name for the report when that fails.
void use_unix_line_ends(int descriptor, std::string_view name);

#endif
