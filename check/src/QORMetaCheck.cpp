// SPDX-License-Identifier: Apache-2.0
// QORMetaCheck: reads metadata documents by the rules of the diff's loader and
// prints every problem of each; with an earlier version (-Old, or -Against a
// git revision), also every change that loses data when a database is
// migrated from the diff. On standard output, one line per problem in the
// form compilers use (file:line:column: error|warning: text [rule]), or as
// SARIF or GitLab's code quality report (-Format).
// Exit status: 0 no errors (warnings allowed), 1 errors (or a document that
// could not be checked), 2 wrong arguments, a revision or pathspec that
// cannot be read, or a configuration that cannot be read.
#include "QORMCheckRun.h"
#include "QORMetaUtil/QORMUProgram.h"

int main(int argc, char* argv[]) {
    QORMUProgram program(argc, argv);
    return cCheckRun::Main(program.argc(), program.argv());
}
