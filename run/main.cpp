#include "run/setup_run.h"

int main() {
  RunRuleSetup();
  return 1;  // not reached: every run ends in ReportAndExit or the cancel exit
}
