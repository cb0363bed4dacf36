#include "search/settings.h"

namespace search {

SearchSettings Settings;

} // namespace search
