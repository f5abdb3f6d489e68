// SPDX-License-Identifier: Apache-2.0
// QORMetaMerge: three-way merge of metadata documents.
// Exit status: 0 merged, 1 merged with conflicts (ours' side kept at each,
// the merged file still written), 2 wrong arguments, 3 failed run (nothing
// written).
#include "QORMMergeRun.h"
#include "QORMetaUtil/QORMUProgram.h"

int main(int argc, char* argv[]) {
    QORMUProgram program(argc, argv);
    return cMergeRun::Main(program.argc(), program.argv());
}
