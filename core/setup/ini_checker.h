// The inside of the builder's check of a Setup.ini (ini_check.h): the file
// indexed as setup finds its names, and one function per rule. The rules
// live in two files along one seam: what setup reads at all, the text, the
// lines and the names (ini_check_structure.cpp), and what the values it
// reads mean, paths, registry lines, associations and records
// (ini_check_contents.cpp). Only those files and ini_check.cpp include this.
#ifndef SFX_CORE_SETUP_INI_CHECKER_H
#define SFX_CORE_SETUP_INI_CHECKER_H

#include <stddef.h>
#include <stdint.h>

#include <map>
#include <string>
#include <vector>

#include "ini/reader.h"
#include "setup/ini_check.h"
#include "setup/ini_names.h"

namespace setup {

class IniChecker {
 public:
  IniChecker(const char* bytes, size_t size, const ShellFolder* shell);

  // The findings in the file's order.
  std::vector<Finding> Run();

  static std::string Folded(const std::string& name);
  static std::string Number(long long n);

 private:
  using Entry = profile::Entry;
  using Section = profile::Section;

  struct Indexed {
    const Section* section;
    std::map<std::string, const Entry*> keys;  // the first key of each name, by its folded name
  };

  void Warn(size_t line, const std::string& where, const std::string& message, bool systemWide = false);
  const Indexed* FindSection(const std::string& name) const;
  // The key as setup finds it; null when it or its section is missing.
  const Entry* Find(const std::string& section, const std::string& key) const;
  std::string Value(const char* section, const char* key) const;
  int Int(const char* section, const char* key, int fallback) const;
  static std::string Where(const Section& section, const Entry& entry);
  // The section named as the file names it.
  std::string Where(const char* section, const Entry& entry) const;
  bool InShell(const std::string& path) const;
  // The entries of an open list as setup reads them, up to the first
  // missing or empty one.
  std::vector<const Entry*> ReadList(const char* section, const char* prefix, int first) const;

  // What setup reads at all.
  void CheckText();
  void CheckStrays();
  std::string SectionBefore(size_t line) const;
  void CheckRepeats();
  void CheckNames();
  void CheckKey(const Section& section, const SectionName& known, const Entry& entry);
  void CheckValue(const Section& section, const Entry& entry, ValueKind kind, uint16_t size);
  void CheckLists();

  // What the values mean.
  void CheckCopyEntries();
  void CheckRegistryLines();
  void CheckSettingsKey();
  void CheckAssociations();
  void CheckDeletePatterns();
  void CheckNamedFile(const Entry& entry, const std::string& where);
  void CheckReadme();
  void CheckReadmeFile(const Entry& file);
  void CheckBackdrop();
  void CheckInstalledMark();
  void CheckFolderNames();

  const char* bytes_;
  size_t size_;
  profile::Profile profile_;
  const ShellFolder* shell_;
  std::map<std::string, Indexed> sections_;  // the first section of each name, by its folded name
  std::vector<Finding> findings_;
};

}  // namespace setup

#endif  // SFX_CORE_SETUP_INI_CHECKER_H
