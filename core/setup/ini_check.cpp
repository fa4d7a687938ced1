#include "setup/ini_check.h"

#include <algorithm>

#include "setup/ini_checker.h"
#include "text.h"

namespace setup {

std::string IniChecker::Folded(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) c = text::AsciiUpper(c);
  return folded;
}

std::string IniChecker::Number(long long n) { return std::to_string(n); }

IniChecker::IniChecker(const char* bytes, size_t size, const ShellFolder* shell)
    : bytes_(bytes), size_(size), profile_(bytes, size), shell_(shell) {
  for (const Section& section : profile_.sections()) {
    auto added = sections_.emplace(Folded(section.name), Indexed{&section, {}});
    if (!added.second) continue;
    for (const Entry& entry : section.entries) added.first->second.keys.emplace(Folded(entry.name), &entry);
  }
}

std::vector<Finding> IniChecker::Run() {
  CheckText();
  CheckStrays();
  CheckRepeats();
  CheckNames();
  CheckLists();
  CheckCopyEntries();
  CheckRegistryLines();
  CheckSettingsKey();
  CheckAssociations();
  CheckDeletePatterns();
  CheckReadme();
  CheckBackdrop();
  CheckInstalledMark();
  CheckFolderNames();
  std::stable_sort(findings_.begin(), findings_.end(),
                   [](const Finding& a, const Finding& b) { return a.line < b.line; });
  return findings_;
}

void IniChecker::Warn(size_t line, const std::string& where, const std::string& message, bool systemWide) {
  findings_.push_back(Finding{line, where, message, systemWide});
}

const IniChecker::Indexed* IniChecker::FindSection(const std::string& name) const {
  auto found = sections_.find(Folded(name));
  return found == sections_.end() ? nullptr : &found->second;
}

const IniChecker::Entry* IniChecker::Find(const std::string& section, const std::string& key) const {
  const Indexed* indexed = FindSection(section);
  if (!indexed) return nullptr;
  auto found = indexed->keys.find(Folded(key));
  return found == indexed->keys.end() ? nullptr : found->second;
}

std::string IniChecker::Value(const char* section, const char* key) const {
  const Entry* entry = Find(section, key);
  return entry ? entry->value : std::string();
}

int IniChecker::Int(const char* section, const char* key, int fallback) const {
  const Entry* entry = Find(section, key);
  return entry ? profile::ReadProfileInt(entry->value, fallback) : fallback;
}

std::string IniChecker::Where(const Section& section, const Entry& entry) {
  return "[" + section.name + "] " + entry.name;
}

std::string IniChecker::Where(const char* section, const Entry& entry) const {
  return Where(*FindSection(section)->section, entry);
}

bool IniChecker::InShell(const std::string& path) const { return shell_->holds(shell_->context, path.c_str()); }

std::vector<const IniChecker::Entry*> IniChecker::ReadList(const char* section, const char* prefix, int first) const {
  std::vector<const Entry*> read;
  for (long long n = first;; ++n) {
    const Entry* entry = Find(section, prefix + Number(n));
    if (!entry || entry->value.empty()) return read;
    read.push_back(entry);
  }
}

std::vector<Finding> CheckSetupIni(const char* bytes, size_t size, const ShellFolder* shell) {
  return IniChecker(bytes, size, shell).Run();
}

}  // namespace setup
