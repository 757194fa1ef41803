#pragma once
// A bitmap handed between images, forms and the tray icon; possibly empty. Cheap to copy:
// copies share the one bitmap, which the window system's implementation makes and reads.

#include <cstdint>
#include <memory>

namespace tw::forms {

struct PictureData;

class Picture {
public:
    Picture() = default;
    explicit Picture(std::shared_ptr<const PictureData> data) : m_data(std::move(data)) {}

    bool isNull() const { return !m_data; }
    // In logical pixels; 0 x 0 when empty.
    int width() const;
    int height() const;

    // The same bitmap: copies of one picture compare equal, two empty pictures too.
    bool operator==(const Picture& other) const;

    const std::shared_ptr<const PictureData>& data() const { return m_data; }

private:
    std::shared_ptr<const PictureData> m_data;
};

// The shell's handle of a picture as an icon (the tray's, a notification's): one handle per
// bitmap, however often the same picture is handed to the shell; 0 for an empty picture.
std::uintptr_t iconHandle(const Picture& picture);

}  // namespace tw::forms
