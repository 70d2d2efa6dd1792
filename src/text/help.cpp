#include "text/help.h"

void printBanner(Output& out) {
  out.print("\nOrvane's Grimtrim 1.01 -- whack spells a Vellmark character\n");
  out.print("                                     has in his/her spell book\n\n");
}

void printUsage(Output& out) {
  out.print("\nUsage: GRIMTRIM [options] savefilename.gam configfile.cfg");
}

void printHelp(Output& out) {
  out.print("%s",
            "\nwhere options are:"
            "\n\t-fN use free space method N (see below)"
            "\n\t-pN select party member N (program will list Ns when no -p)"
            "\n\t-sN select spell level N (program will list Ns when no -s)"
            "\n\t-wN whack spell N (program will list Ns when no -w)"
            "\n\nConfig file format, one file location per line:"
            "\nline 1: dialog.tlk location and name"
            "\nline 2: spellfile.bif location and name"
            "\nline 3: keyfile.key location and name"
            "\n\nFree space methods are:"
            "\n0 - just leave last known spell (usu. some special ability or spell"
            "\n    sequencer) duplicated, game seems to detect this and the next save has"
            "\n    dropped the duplicate"
            "\n1 - (default) decrement known spells, move spell memorization down and"
            "\n    duplicate first memorized spell (party member had better have at least one"
            "\n    first level spell memorized)");
}
