// Attribute bits of a directory entry (see file_attributes.h).

#include "platform/rtl/file_attributes.h"

#include "platform/rtl/files.h"

namespace detail {

int AttributesOf(const AnsiString& name, const struct stat& st) {
  int attributes = 0;
  if (S_ISLNK(st.st_mode)) {
    attributes |= faSymLink;
  } else if (S_ISDIR(st.st_mode)) {
    attributes |= faDirectory;
  } else if (!S_ISREG(st.st_mode)) {
    attributes |= faSysFile;
  }
  if (!S_ISLNK(st.st_mode) && !(st.st_mode & S_IWUSR)) attributes |= faReadOnly;
  if (!name.empty() && name[0] == '.' && name != "." && name != "..") attributes |= faHidden;
  return attributes;
}

}  // namespace detail
