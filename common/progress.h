#pragma once
// Console progress for long loops: "\r\r\t%.2f" of done / total × 100, no
// newline (the caller ends the line), flushed. Nothing when total is 0.
void ReportProgress(float done, float total);
