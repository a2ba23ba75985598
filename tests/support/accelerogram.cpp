#include "accelerogram.hpp"

#include "record_layout.hpp"
#include "scratch_directory.hpp"

#include <cstdio>

namespace {

constexpr std::size_t kEchoWidth = 80;
constexpr double kVelocity = 9999.0; // values no table row may show

std::string header_record(int number) {
  return "header record " + std::to_string(number) + " (text, never a value)";
}

} // namespace

const std::string kOpening =
    " Program for Reading CDMG-TYpe Strong Motion Data\n"
    "\n"
    " Enter 1st File Name of 3 Components\n"
    " Enter 2nd File Name of 3 Components\n"
    " Enter 3rd File Name of 3 Components\n";

const std::string kOutputPrompt =
    "\n"
    " Enter Output Acceleration File Name (CSV format)\n";

std::string Component::text(const std::string &line_end) const {
  std::vector<std::string> records = {title};
  for (int r = 0; r < layout::kRecordsBeforeCount; ++r) {
    records.push_back(header_record(layout::kTitleRecord + 1 + r));
  }
  records.insert(records.end(), before_count.begin(), before_count.end());
  records.push_back(count);
  records.push_back(interval);
  records.insert(records.end(), after_interval.begin(), after_interval.end());
  for (int r = 0; r < layout::kRecordsBeforeCaption; ++r) {
    records.push_back(header_record(layout::kIntervalRecord + 1 + r));
  }
  records.push_back(caption);
  records.insert(records.end(), data.begin(), data.end());
  if (records_kept && *records_kept < records.size()) {
    records.resize(*records_kept);
  }
  std::string text;
  for (const std::string &record : records) {
    text += record + line_end;
  }
  return text;
}

std::vector<std::string> data_records(const std::vector<double> &values,
                                      std::size_t per_record) {
  std::vector<std::string> records;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i % per_record == 0) {
      records.emplace_back();
    }
    char field[64];
    std::snprintf(field, sizeof field, "%10.3f", values[i]);
    records.back() += field;
  }
  return records;
}

Component component(int nt, const std::string &dt,
                    const std::vector<double> &samples) {
  Component c;
  c.count = std::to_string(nt) + " samples of acceleration";
  c.interval = dt + " sec between samples";
  c.caption = std::to_string(nt) + " points of accel data";
  c.data = data_records(samples);
  c.data.push_back(std::to_string(nt) + " points of veloc data");
  const std::vector<std::string> velocity =
      data_records(std::vector<double>(16, kVelocity));
  c.data.insert(c.data.end(), velocity.begin(), velocity.end());
  return c;
}

void put_accelerogram(const ScratchDirectory &directory, const Component &first,
                      const Component &second, const Component &third,
                      const std::string &line_end) {
  directory.put(kFirstFile, first.text(line_end));
  directory.put(kSecondFile, second.text(line_end));
  directory.put(kThirdFile, third.text(line_end));
}

void put_equal_components(const ScratchDirectory &directory,
                          const Component &each, const std::string &line_end) {
  put_accelerogram(directory, each, each, each, line_end);
}

std::string echoed(const std::string &record) {
  std::string text = record.substr(0, kEchoWidth);
  text.resize(kEchoWidth, ' ');
  return " " + text + "\n";
}

std::string echo(const Component &component, const std::string &dt, int nt) {
  const std::string sign_slot = dt.front() == '-' ? "" : " ";
  return echoed(component.title) + "  dt & nt= " + sign_slot + dt + " " +
         std::to_string(nt) + "\n" + echoed(component.caption);
}

std::string transcript(const Component &each, const std::string &dt, int nt) {
  const std::string one = echo(each, dt, nt);
  return kOpening + one + one + one + kOutputPrompt;
}

std::string row(double time, double x, double y, double z) {
  char text[128];
  std::snprintf(text, sizeof text, "%7.3f,%10.3f,%10.3f,%10.3f\n", time, x, y,
                z);
  return text;
}
