#include "cli/commandline.h"

#include <optional>

namespace {

using Command = CommandLine::Command;

// Walks the arguments after the command, taking options as the command
// allows them: "--name value", "--name=value" or a short "-x value".
class ArgumentCursor
{
public:
    explicit ArgumentCursor(const QStringList &arguments) : m_arguments(arguments) { }

    bool atEnd() const { return m_pos >= m_arguments.size(); }
    const QString &next() { return m_arguments[m_pos++]; }

    // When `argument` is one of the option's spellings, its value; an error
    // when the value is missing.
    std::optional<std::variant<QString, UsageError>>
    optionValue(const QString &argument, const QString &longName, const QString &shortName)
    {
        const QString prefix = longName + u'=';
        if (argument.startsWith(prefix))
            return argument.mid(prefix.size());
        if (argument != longName && argument != shortName)
            return std::nullopt;
        if (atEnd())
            return UsageError{QStringLiteral("option %1 needs a value").arg(argument)};
        return next();
    }

private:
    const QStringList &m_arguments;
    qsizetype m_pos = 0;
};

bool isHelp(const QString &a)
{
    return a == u"--help" || a == u"-h";
}

bool isVersion(const QString &a)
{
    return a == u"--version" || a == u"-v";
}

std::optional<Command> commandNamed(const QString &name)
{
    if (name == u"check")
        return Command::Check;
    if (name == u"dump")
        return Command::Dump;
    if (name == u"import")
        return Command::Import;
    return std::nullopt;
}

std::optional<UsageError> checkOperands(const CommandLine &line, const QString &name)
{
    if (line.files.isEmpty())
        return UsageError{QStringLiteral("%1: missing file argument").arg(name)};
    if (line.command != Command::Check && line.files.size() > 1)
        return UsageError{
                QStringLiteral("%1: takes one file, got %2").arg(name).arg(line.files.size())};
    if (line.command == Command::Dump && !DumpFormats.contains(line.format))
        return UsageError{
                QStringLiteral("dump: unknown format \"%1\" (json, markdown, opml or text)")
                        .arg(line.format)};
    if (line.command == Command::Import && line.from != u"opml")
        return UsageError{
                QStringLiteral("import: unknown input format \"%1\" (opml)").arg(line.from)};
    if (line.command == Command::Import && line.output.isEmpty())
        return UsageError{QStringLiteral("import: missing -o OUT.svk")};
    return std::nullopt;
}

CommandLine commandOnly(Command command)
{
    CommandLine line;
    line.command = command;
    return line;
}

} // namespace

std::variant<CommandLine, UsageError> parseCommandLine(const QStringList &arguments)
{
    for (const QString &a : arguments) {
        if (a == u"--")
            break;
        if (isHelp(a))
            return commandOnly(Command::Help);
        if (isVersion(a))
            return commandOnly(Command::Version);
    }
    if (arguments.isEmpty())
        return UsageError{QStringLiteral("missing command")};

    const QString &name = arguments.front();
    const std::optional<Command> command = commandNamed(name);
    if (!command)
        return UsageError{name.startsWith(u'-')
                                  ? QStringLiteral("unknown option %1").arg(name)
                                  : QStringLiteral("unknown command \"%1\"").arg(name)};
    CommandLine line;
    line.command = *command;

    const QStringList rest = arguments.mid(1);
    ArgumentCursor cursor(rest);
    bool optionsEnded = false;
    while (!cursor.atEnd()) {
        const QString &a = cursor.next();
        if (optionsEnded || a == u"-" || !a.startsWith(u'-')) {
            line.files.append(a);
            continue;
        }
        if (a == u"--") {
            optionsEnded = true;
            continue;
        }
        std::optional<std::variant<QString, UsageError>> value;
        QString *target = nullptr;
        if (line.command == Command::Dump) {
            value = cursor.optionValue(a, QStringLiteral("--format"), QStringLiteral("-f"));
            target = &line.format;
        } else if (line.command == Command::Import) {
            value = cursor.optionValue(a, QStringLiteral("--from"), QString());
            target = &line.from;
            if (!value) {
                value = cursor.optionValue(a, QStringLiteral("--output"), QStringLiteral("-o"));
                target = &line.output;
            }
        }
        if (!value)
            return UsageError{QStringLiteral("%1: unknown option %2").arg(name, a)};
        if (const auto *error = std::get_if<UsageError>(&*value))
            return UsageError{name + QStringLiteral(": ") + error->message};
        *target = std::get<QString>(*value);
    }
    if (auto error = checkOperands(line, name))
        return *error;
    return line;
}
