#include "launcher/StringList.h"

namespace kanne {

int StringList::find(std::string_view text) const
{
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i] == text)
            return static_cast<int>(i);
    return -1;
}

bool StringList::removeAt(int index)
{
    if (index < 0 || index >= count())
        return false;
    items_.erase(items_.begin() + index);
    return true;
}

} // namespace kanne
