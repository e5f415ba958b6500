#include "Progress.h"

#include "InstallUi.h"

void ReportStep(IInstallUi& ui, const ProgressRange* range, int k, int n) {
  if (!range || n == 0) return;
  ui.SetProgress(range->start + (range->end - range->start) * k / n);
}

int ProgressFilledWidth(int barWidth, int percent) { return barWidth * percent / 100; }
