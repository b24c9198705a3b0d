#pragma once
// The application-wide mouse pointer: one process-wide pointer code (0 = no override). While a
// code with a shape is in force, the cursor over the windows of the threads that set it is that
// shape, also after their window procedures have answered WM_SETCURSOR. A hook on each such
// thread puts the shape back after the window procedure; the hooks exist only while a shape is
// in force, keep the module loaded meanwhile, and are removed when the module goes.
#include <optional>

namespace kro::pointer {

// Pointer codes: 0 default, 1 arrow, 2 cross, 3 I-beam, 4 icon, 5 size, 6 NE-SW, 7 N-S, 8 NW-SE,
// 9 W-E, 10 up arrow, 11 hourglass, 12 no-drop, 13 arrow and hourglass, 14 arrow and question
// mark, 15 size-all, 99 custom (the window's own pointer: the library holds no custom cursor).
inline constexpr long kDefault = 0;
inline constexpr long kHourglass = 11;
inline constexpr long kCustom = 99;
// The runtime's error for a value a property does not take.
inline constexpr long kInvalidPropertyValue = 380;

bool isPointerCode(long code);

// The code in force for the process.
long current();

// Puts `code` in force for the whole process and shows it on the calling thread at once.
// Raises 380 ("Invalid property value") for a code that names no pointer, changing nothing.
void set(long code);

// The pointer an object saved at its first change, put back when the object goes: each object
// restores its own saved code, so several objects restore in the order they are released.
class SavedPointer {
public:
    SavedPointer() = default;
    SavedPointer(const SavedPointer&) = delete;
    SavedPointer& operator=(const SavedPointer&) = delete;
    ~SavedPointer();

    // Saves the code in force when nothing is saved yet, then sets `code` (see set()).
    void change(long code);

private:
    std::optional<long> saved_;
};

}  // namespace kro::pointer
