#include "app/shell_state.h"

namespace lekta {

ShellState& shell()
{
    static ShellState state;
    return state;
}

}  // namespace lekta
