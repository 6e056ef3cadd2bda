#include "simulator/output.h"

#include <charconv>

#include "contracts/text.h"

namespace vamu::sim {

std::string number(double value) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return {buffer, end};
}

std::string quote(std::u16string_view text) {
    std::string out = "\"";
    for (const char c : toUtf8(text)) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += c;
        }
    }
    return out + "\"";
}

void printOutcome(std::ostream& out, std::string_view request, bool result, const Status& status) {
    out << request << " -> " << (result ? "True" : "False");
    if (status.error) {
        out << " error " << status.error->number() << ' ' << toUtf8(status.error->description());
    }
    out << '\n';
}

}  // namespace vamu::sim
