/* Times from starting a program to the mapping of its first top-level window, under an X server
 * (Xvfb), for several programs in alternating rounds; prints the median of each. The programs are
 * stopped once their window is mapped.
 * Usage: window_startup ROUNDS NAME 'COMMAND...' [NAME 'COMMAND...']...  (COMMAND run by sh -c;
 * "@SIZE@" in it is replaced by "WIDTH HEIGHT" of the first program's window) */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <dirent.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static int compare(const void* a, const void* b) {
  const double x = *(const double*)a, y = *(const double*)b;
  return (x > y) - (x < y);
}

/* The CPU time in milliseconds that the threads of process `pid` have run so far, from
 * /proc/PID/task/TID/schedstat (nanoseconds on the CPU): what a loaded machine disturbs least. */
static double cpu_ms(pid_t pid) {
  char path[64];
  snprintf(path, sizeof path, "/proc/%d/task", (int)pid);
  DIR* tasks = opendir(path);
  if (!tasks) return -1;
  double total = 0;
  struct dirent* task;
  while ((task = readdir(tasks)) != NULL) {
    if (task->d_name[0] == '.') continue;
    char file[400];
    snprintf(file, sizeof file, "%s/%s/schedstat", path, task->d_name);
    FILE* f = fopen(file, "r");
    unsigned long long ns = 0;
    if (f) {
      if (fscanf(f, "%llu", &ns) == 1) total += ns / 1e6;
      fclose(f);
    }
  }
  closedir(tasks);
  return total;
}

/* Runs `command` and returns the milliseconds until a top-level window maps; sets its size and
 * the CPU time the program took until then. */
static double run(Display* display, const char* command, int* width, int* height, double* cpu) {
  XSync(display, True); /* drop what earlier runs left */
  const double start = now_ms();
  const pid_t child = fork();
  if (child == 0) {
    setpgid(0, 0);
    /* "exec": the program takes the shell's place, so that its process is the one measured */
    char* line = malloc(strlen(command) + 6);
    sprintf(line, "exec %s", command);
    execl("/bin/sh", "sh", "-c", line, (char*)NULL);
    _exit(127);
  }
  double took = -1;
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == MapNotify && !event.xmap.override_redirect) {
      took = now_ms() - start;
      *cpu = cpu_ms(child);
      XWindowAttributes attributes;
      if (XGetWindowAttributes(display, event.xmap.window, &attributes)) {
        *width = attributes.width;
        *height = attributes.height;
      }
      break;
    }
  }
  kill(-child, SIGTERM);
  waitpid(child, NULL, 0);
  return took;
}

int main(int argc, char** argv) {
  if (argc < 4 || (argc - 2) % 2 != 0) {
    fprintf(stderr, "usage: window_startup ROUNDS NAME COMMAND [NAME COMMAND]...\n");
    return 2;
  }
  const int rounds = atoi(argv[1]);
  const int programs = (argc - 2) / 2;
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "window_startup: no X display\n");
    return 1;
  }
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  int width = 0, height = 0;
  double cpu;
  run(display, argv[3], &width, &height, &cpu); /* the size, and warm caches for every program */
  char size[32];
  snprintf(size, sizeof size, "%d %d", width, height);
  char** commands = calloc((size_t)programs, sizeof *commands);
  for (int p = 0; p < programs; ++p) {
    const char* c = argv[3 + 2 * p];
    const char* at = strstr(c, "@SIZE@");
    commands[p] = malloc(strlen(c) + sizeof size);
    if (at) {
      sprintf(commands[p], "%.*s%s%s", (int)(at - c), c, size, at + 6);
    } else {
      strcpy(commands[p], c);
    }
    int w, h;
    if (p > 0) run(display, commands[p], &w, &h, &cpu);
  }
  double* times = calloc((size_t)(rounds * programs), sizeof *times);
  double* cpus = calloc((size_t)(rounds * programs), sizeof *cpus);
  for (int r = 0; r < rounds; ++r) {
    for (int p = 0; p < programs; ++p) {
      int w, h;
      times[p * rounds + r] = run(display, commands[p], &w, &h, &cpus[p * rounds + r]);
    }
  }
  printf("window %dx%d, median of %d alternating runs\n", width, height, rounds);
  double* medians = calloc((size_t)programs, sizeof *medians);
  double* cpu_medians = calloc((size_t)programs, sizeof *cpu_medians);
  for (int p = 0; p < programs; ++p) {
    double* t = times + p * rounds;
    qsort(t, (size_t)rounds, sizeof *t, compare);
    medians[p] = rounds % 2 ? t[rounds / 2] : (t[rounds / 2 - 1] + t[rounds / 2]) / 2;
    t = cpus + p * rounds;
    qsort(t, (size_t)rounds, sizeof *t, compare);
    cpu_medians[p] = rounds % 2 ? t[rounds / 2] : (t[rounds / 2 - 1] + t[rounds / 2]) / 2;
  }
  printf("%-32s %16s %26s\n", "", "until mapped", "CPU time until mapped");
  for (int p = 0; p < programs; ++p) {
    printf("%-32s %7.1f ms", argv[2 + 2 * p], medians[p]);
    if (p != 1 && programs > 1) printf(" %5.2fx", medians[p] / medians[1]); else printf("       ");
    printf(" %9.1f ms", cpu_medians[p]);
    if (p != 1 && programs > 1) printf(" %5.2fx", cpu_medians[p] / cpu_medians[1]);
    printf("\n");
  }
  printf("(ratios against the bare Qt window)\n");
  XCloseDisplay(display);
  return 0;
}
