#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <stdexcept>

namespace velmarith::app {

/// Exit codes shared by every subcommand, as the dialog tools of shell scripts use them.
enum ExitCode : int { kConfirmed = 0, kCancelled = 1, kUsageError = 2, kRuntimeError = 3 };

/// A mistake on the command line (an unknown option, a missing or invalid value); exits 2.
class UsageError : public std::runtime_error
{
public:
    UsageError(QString command, const QString &problem)
        : std::runtime_error(problem.toStdString()), mCommand(std::move(command))
    {
    }
    /// The subcommand whose line was wrong ("input"); empty for the command itself.
    [[nodiscard]] const QString &command() const { return mCommand; }

private:
    QString mCommand;
};

/// A failure the command explains itself, in Chinese and English, with what to do; exits 3.
class CommandFailure : public std::runtime_error
{
public:
    explicit CommandFailure(const QString &explanation) : std::runtime_error(explanation.toStdString()) {}
};

/// A subcommand as its arguments ask for it: whether it shows windows, and the work to run once
/// the application object it needs exists. `run` returns the exit code.
struct Command {
    bool showsWindows = false;
    std::function<int(QTextStream &out)> run;
    /// Builds windows it never shows (an export of what a window lists): they are drawn off
    /// screen, with or without a display.
    bool drawsOffscreen = false;
};

/// One subcommand's options, with the shared --help option and a usage line that names it.
/// Parsing needs no application object, so help and usage errors never need a display.
class CommandParser
{
public:
    CommandParser(QString command, const QString &description);

    void addOptions(const QList<QCommandLineOption> &options);
    /// Parses `arguments` (the program name first); raises UsageError for an unknown option or
    /// a missing value. True when --help was asked for: run helpCommand() then.
    [[nodiscard]] bool parse(const QStringList &arguments);
    [[nodiscard]] Command helpCommand() const;

    [[nodiscard]] bool isSet(const QCommandLineOption &option) const { return mParser.isSet(option); }
    [[nodiscard]] QString value(const QCommandLineOption &option) const { return mParser.value(option); }
    [[nodiscard]] QStringList values(const QCommandLineOption &option) const { return mParser.values(option); }
    /// The option's value; UsageError when it is missing or empty.
    [[nodiscard]] QString required(const QCommandLineOption &option) const;
    /// The database: --db's value, else $DATABRIDGE_DATABASE; UsageError when there is neither.
    [[nodiscard]] QString database(const QCommandLineOption &option) const;
    /// The option's value, which must be one of `allowed` (exactly as written) when given.
    [[nodiscard]] QString oneOf(const QCommandLineOption &option, const QStringList &allowed) const;
    /// Raises UsageError with this subcommand's name.
    [[noreturn]] void fail(const QString &problem) const;

private:
    QString mCommand;
    QCommandLineParser mParser;
    QCommandLineOption mHelp;
};

/// "用法 / usage: velmarith input [options]"; the command's own line for an empty name.
[[nodiscard]] QString usageLine(const QString &command);

/// The --db option every database command takes.
[[nodiscard]] QCommandLineOption databaseOption();

/// The --trace-sql option of the commands that open a window on a database.
[[nodiscard]] QCommandLineOption traceSqlOption();
/// Writes every statement DataBridge runs to standard error, with its outcome.
void traceStatements();

/// Whether a display (or a platform chosen by QT_QPA_PLATFORM) is there to show windows on.
[[nodiscard]] bool canShowWindows();

} // namespace velmarith::app
