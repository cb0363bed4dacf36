#include "search/context.h"

namespace search {

SearchContext Shared;

} // namespace search
