#include "setup/menu_folder.h"

#include "setup/path_rules.h"

namespace setup {
namespace {

MenuFolder Copied(char* out, size_t size, const char* folder, MenuFolder kind, text::LeadByteTest isLead) {
  if (text::CopyCut(out, size, folder, isLead)) return kind;
  if (size) out[0] = '\0';
  return MenuFolder::kNone;
}

}  // namespace

MenuFolder ComposeMenuFolder(char* out, size_t size, const char* named, const char* name, const char* programs,
                             text::LeadByteTest isLead) {
  if (named[0] && IsFullPath(named, isLead)) return Copied(out, size, named, MenuFolder::kNamed, isLead);
  if (size) out[0] = '\0';
  // A name of dots, an empty part or a leading backslash would put the
  // menu elsewhere than in a folder of its own below Programs.
  if (!programs[0] || (name[0] && !IsPlainRelativePath(name, isLead))) return MenuFolder::kNone;
  if (!name[0]) return Copied(out, size, programs, MenuFolder::kPrograms, isLead);
  if (Copied(out, size, programs, MenuFolder::kBelowPrograms, isLead) == MenuFolder::kNone ||
      !text::JoinPath(out, size, name, isLead))
    return MenuFolder::kNone;
  return MenuFolder::kBelowPrograms;
}

}  // namespace setup
