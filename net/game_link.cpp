#include "net/game_link.h"

namespace ravu {

std::string PrefixName(const std::string& name, const std::string& text) { return name + ">" + text; }

}  // namespace ravu
