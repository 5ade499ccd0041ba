// Interface texts by numeric id, as the engine asks for them. The program
// passes its language-pack lookup; the command line and the tests pass
// stand-ins of their own.
#pragma once

#include <functional>
#include <string>

namespace engine {

using TextLookup = std::function<std::wstring(int id)>;

}  // namespace engine
