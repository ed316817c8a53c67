#include "online/online_state.h"

namespace lekta {

OnlineState& online_state()
{
    static OnlineState state;
    return state;
}

}  // namespace lekta
