#include "cli/usage.h"

QString usageSummary()
{
    return QStringLiteral("Usage: svk check FILE...\n"
                          "       svk dump [--format json|markdown|opml|text] FILE\n"
                          "       svk import [--from opml] IN -o OUT.svk\n"
                          "       svk --help | --version\n");
}

QString helpText()
{
    return usageSummary() + QStringLiteral(R"(
Reads, converts and builds Sorveka outline files (.svk, code page 932).

Commands:
  check FILE...
      Reads each file exactly as the outliner opens it. Prints
      "FILE: N categories" for a good file, and "FILE:LINE: REASON" on
      standard error for a bad one, then goes on with the next file.
      Example: svk check trip.svk notes.svk

  dump [--format FORMAT] FILE
      Writes the outline to standard output as UTF-8. FORMAT is one of
        json      keys, titles, marks, icons and bodies, nothing lost (default)
        markdown  a nested task list with the bodies
        opml      OPML 2.0, for other outliners
        text      the titles, indented, with a tick before checked ones
      Example: svk dump --format markdown trip.svk

  import [--from opml] IN -o OUT.svk
      Builds an outline file from an OPML outline: the first top-level
      outline is the root, later top-level ones become its children. Refuses
      malformed XML, more than 2047 categories and an outline that would not
      read back as imported, writing nothing; warns about characters code
      page 932 cannot hold (written as "?").
      Example: svk import --from opml trip.opml -o trip.svk

Options:
  -h, --help      Show this help.
  -v, --version   Show the version.
  -f, --format    The output format of dump.
  -o, --output    The file import writes.

Exit status: 0 when everything was read and written, 1 when a file could
not be read or written, 2 for wrong usage.
)");
}
