#include "frame/path_check.h"

#include "frame/errors.h"
#include "frame/text.h"

namespace kro {

void checkPath(std::wstring_view path, EmptyName empty) {
    if (path.size() > kMaxPathChars || path.find(L'\0') != std::wstring_view::npos ||
        (path.empty() && empty == EmptyName::Refused))
        raise(err::BadFileNameOrNumber);
}

std::wstring checkedPath(const BSTR* path, EmptyName empty) {
    std::wstring_view text = path ? view(*path) : std::wstring_view();
    checkPath(text, empty);
    return std::wstring(text);
}

}  // namespace kro
