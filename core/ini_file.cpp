#include "core/ini_file.h"

#include <fstream>
#include <sys/stat.h>

namespace IniFile {

SubKey& Key::NewSubKey(std::string value, int line) {
  mSubKeys.push_back(std::make_unique<SubKey>(std::move(value), line));
  return *mSubKeys.back();
}

void Key::CheckEmpty() {
  if (mSubKeys.empty()) NewSubKey("", -1);
}

void SubSection::NewSubKey(const std::string& key, std::string value, int line) {
  mKeys.get(key).NewSubKey(std::move(value), line);
}

SubSection& Section::NewSubSection(int line) {
  mSubSections.push_back(std::make_unique<SubSection>(line));
  return *mSubSections.back();
}

void Section::CheckEmpty() {
  if (mSubSections.empty()) NewSubSection(-1);
}

SubSection& File::NewSubSection(const std::string& section, int line) {
  return mSections.get(section).NewSubSection(line);
}

void File::Close() {
  mSections.clear();
  mOpened = false;
}

bool File::Open(const std::string& path) {
  Close();
  mFileName = path;
  // A directory opens as a stream but can never be read.
  struct stat info;
  if (::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
  std::ifstream in(path, std::ios::in | std::ios::binary);
  if (!in) return false;
  Parse(in);
  return mOpened;
}

std::istream& operator>>(std::istream& in, File& file) {
  file.Close();
  file.mFileName.clear();
  file.Parse(in);
  return in;
}

void SubKey::Dump(std::ostream& out) const {
  out << "dumping IniFile::SubKey\n"
      << "mValue=\"" << mValue << "\"\n"
      << "mLineNo=" << mLineNo << '\n';
}

void Key::Dump(std::ostream& out) const {
  out << "dumping IniFile::Key\n"
      << "mName=\"" << mName << "\"\n"
      << "mSubKeyCount=" << count() << '\n';
  for (const SubKey& value : *this) value.Dump(out);
}

void SubSection::Dump(std::ostream& out) const {
  out << "dumping IniFile::SubSection\n"
      << "mLineNo=\"" << mLineNo << "\"\n"
      << "mKeyCount=" << count() << '\n';
  for (const Key& key : *this) key.Dump(out);
}

void Section::Dump(std::ostream& out) const {
  out << "dumping IniFile::Section\n"
      << "mName=\"" << mName << "\"\n"
      << "mSubSectionCount=" << count() << '\n';
  for (const SubSection& sub : *this) sub.Dump(out);
}

void File::Dump(std::ostream& out) const {
  out << "dumping IniFile::File\n"
      << "mFileName=\"" << mFileName << "\"\n"
      << "mSectionCount=" << count() << '\n';
  for (const Section& section : *this) section.Dump(out);
}

}  // namespace IniFile
