#include "setupc_command_line.h"

#include <cctype>

namespace clser::setupc {
namespace {

bool parseCount(const std::string& text, long long limit, long long* value)
{
    if (text.empty() || text.size() > 10)
        return false;
    long long v = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
        v = v * 10 + (c - '0');
    }
    if (v > limit)
        return false;
    *value = v;
    return true;
}

Command invalid(std::string why)
{
    Command c;
    c.error = std::move(why);
    return c;
}

} // namespace

std::string portNameOf(const std::string& params)
{
    std::size_t start = 0;
    while (start <= params.size()) {
        std::size_t end = params.find(',', start);
        if (end == std::string::npos)
            end = params.size();
        const std::string item = params.substr(start, end - start);
        if (item.rfind("PortName=", 0) == 0)
            return item.substr(9);
        start = end + 1;
    }
    return {};
}

Command parseCommandLine(const std::vector<std::string>& args)
{
    Command command;
    std::size_t i = 0;
    for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
        if (args[i] == "--silent") {
            command.silent = true;
        } else if (args[i] == "--output") {
            if (++i >= args.size())
                return invalid("--output needs a file name");
            command.outputFile = args[i];
        } else if (args[i] == kMakeEndsOption) {
            long long number = 0, delay = 0;
            if (i + 2 >= args.size() || !parseCount(args[i + 1], 0x7fffffff, &number) ||
                !parseCount(args[i + 2], 0xffffffff, &delay))
                return invalid("--make-ends needs a pair number and a delay");
            command.kind = CommandKind::MakeEnds;
            command.pairNumber = static_cast<int>(number);
            command.delayMs = static_cast<unsigned>(delay);
            return command;
        } else {
            return invalid("unknown option " + args[i]);
        }
    }
    if (i >= args.size())
        return invalid("no command");
    const std::string& verb = args[i];
    const std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    if (verb == "list") {
        if (!rest.empty())
            return invalid("list takes no arguments");
        command.kind = CommandKind::List;
    } else if (verb == "install") {
        if (rest.size() != 2 || portNameOf(rest[0]).empty() || portNameOf(rest[1]).empty())
            return invalid("install needs PortName=... for both ends");
        command.kind = CommandKind::Install;
        command.paramsA = rest[0];
        command.paramsB = rest[1];
    } else if (verb == "remove") {
        long long number = 0;
        if (rest.size() != 1 || !parseCount(rest[0], 0x7fffffff, &number))
            return invalid("remove needs a pair number");
        command.kind = CommandKind::Remove;
        command.pairNumber = static_cast<int>(number);
    } else {
        return invalid("unknown command " + verb);
    }
    return command;
}

} // namespace clser::setupc
