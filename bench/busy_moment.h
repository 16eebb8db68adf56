// The game brought up at a busy moment of play, shared by the play-frame benchmarks and the
// OpenGL peer; and the figures the benchmarks hand to the closing summary.
#pragma once

#include <string>

// Brings the game up once (false when a step fails) and fills `live` of the enemy slots with
// meteors, UFOs and missiles spread out along x, some exploding, the left button held.
bool SetUpBusyMoment(int live);
// Refills the slots as SetUpBusyMoment did; enemies reach the earth in a few seconds of game time.
void RefillBusySlots(int live);

// Per-frame times of one benchmark, kept for the summary printed after the run.
struct FrameFigures {
    double medianMs = 0;
    double p99Ms = 0;
    double cpuMs = 0; // processor time of the whole process (every thread) per frame, on average
};
// Processor time of the whole process so far, in milliseconds.
double ProcessCpuMs();
void RecordFigures(const std::string& name, FrameFigures figures);
// Median and 99th percentile of the samples (milliseconds); sorts them.
FrameFigures FiguresOf(double* samples, int count);
// The ratios of the run: ours against the OpenGL peer and the memory floor, on stdout.
void PrintSummary();
