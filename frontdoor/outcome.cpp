#include <rawlet/outcome.h>

namespace rawlet {

const char* OutcomeName(Outcome outcome) noexcept
{
    switch (outcome) {
    case Outcome::printed:
        return "printed";
    case Outcome::delivered:
        return "delivered";
    case Outcome::notPrinted:
        return "not printed";
    case Outcome::unknown:
        return "unknown";
    }
    return "unknown";
}

} // namespace rawlet
