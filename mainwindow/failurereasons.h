#pragma once

#include <QString>

struct LoadError;
struct WriteError;

// Why a file could not be read or saved, in the user's language, from the
// error's code or the system's errno. The file layer's English messages are
// for the command line.
QString readFailureDetail(const LoadError &error);
QString saveFailureReason(const WriteError &error);
