/* Times from starting a program to the mapping of its first top-level window, under an X server
 * (Xvfb), for several programs in alternating rounds; prints the median of each. The programs are
 * stopped once their window is mapped.
 * Usage: window_startup ROUNDS NAME 'COMMAND...' [NAME 'COMMAND...']...  (COMMAND run by sh -c;
 * "@SIZE@" in it is replaced by "WIDTH HEIGHT" of the first program's window) */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
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

/* The CPU time in milliseconds that process `pid` has taken so far, threads that have ended
 * included (a program may set something up on a thread of its own before its window shows): what
 * a loaded machine disturbs least. */
static double cpu_ms(pid_t pid) {
  clockid_t clock;
  struct timespec t;
  if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &t) != 0) return -1;
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

/* Runs `command` and returns the milliseconds until a top-level window maps; sets the
 * milliseconds until something is drawn into it (a window that maps at once and loads its fonts
 * for the first paint only moves its time past the mapping), its size and the CPU time the program
 * took until it mapped. */
static double run(Display* display, int damage_event, const char* command, int* width, int* height,
                  double* cpu, double* drawn) {
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
  Window mapped = None;
  *drawn = -1;
  while (*drawn < 0) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == CreateNotify && !event.xcreatewindow.override_redirect) {
      /* Watched from its creation, so that no drawing comes before the watch. */
      XDamageCreate(display, event.xcreatewindow.window, XDamageReportNonEmpty);
    } else if (event.type == MapNotify && !event.xmap.override_redirect && mapped == None) {
      took = now_ms() - start;
      *cpu = cpu_ms(child);
      mapped = event.xmap.window;
      XWindowAttributes attributes;
      if (XGetWindowAttributes(display, mapped, &attributes)) {
        *width = attributes.width;
        *height = attributes.height;
      }
    } else if (event.type == damage_event + XDamageNotify && mapped != None &&
               ((XDamageNotifyEvent*)&event)->drawable == mapped) {
      *drawn = now_ms() - start;
    }
  }
  kill(-child, SIGTERM);
  waitpid(child, NULL, 0);
  return took;
}

/* The median of `count` values, which it sorts. */
static double median(double* values, int count) {
  qsort(values, (size_t)count, sizeof *values, compare);
  return count % 2 ? values[count / 2] : (values[count / 2 - 1] + values[count / 2]) / 2;
}

/* "  1.23x" against the baseline, or blanks for the baseline itself. */
static void print_ratio(int program, double value, double baseline) {
  if (program != 1)
    printf(" %5.2fx", value / baseline);
  else
    printf("       ");
}

int main(int argc, char** argv) {
  if (argc < 6 || (argc - 2) % 2 != 0) {
    fprintf(stderr, "usage: window_startup ROUNDS NAME COMMAND NAME COMMAND [NAME COMMAND]...\n");
    return 2;
  }
  const int rounds = atoi(argv[1]);
  const int programs = (argc - 2) / 2;
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "window_startup: no X display\n");
    return 1;
  }
  int damage_event, damage_error;
  if (!XDamageQueryExtension(display, &damage_event, &damage_error)) {
    fprintf(stderr, "window_startup: the X server has no DAMAGE extension\n");
    return 1;
  }
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  int width = 0, height = 0;
  double cpu, drawn;
  /* the size, and warm caches for every program */
  run(display, damage_event, argv[3], &width, &height, &cpu, &drawn);
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
    if (p > 0) run(display, damage_event, commands[p], &w, &h, &cpu, &drawn);
  }
  double* times = calloc((size_t)(rounds * programs), sizeof *times);
  double* cpus = calloc((size_t)(rounds * programs), sizeof *cpus);
  double* draws = calloc((size_t)(rounds * programs), sizeof *draws);
  for (int r = 0; r < rounds; ++r) {
    for (int p = 0; p < programs; ++p) {
      int w, h;
      const int i = p * rounds + r;
      times[i] = run(display, damage_event, commands[p], &w, &h, &cpus[i], &draws[i]);
    }
  }
  printf("window %dx%d, median of %d alternating runs\n", width, height, rounds);
  double* medians = calloc((size_t)(3 * programs), sizeof *medians);
  for (int p = 0; p < programs; ++p) {
    medians[3 * p] = median(times + p * rounds, rounds);
    medians[3 * p + 1] = median(cpus + p * rounds, rounds);
    medians[3 * p + 2] = median(draws + p * rounds, rounds);
  }
  printf("%-32s %16s %26s %20s\n", "", "until mapped", "CPU time until mapped", "until drawn");
  for (int p = 0; p < programs; ++p) {
    printf("%-32s", argv[2 + 2 * p]);
    for (int column = 0; column < 3; ++column) {
      printf(" %9.1f ms", medians[3 * p + column]);
      print_ratio(p, medians[3 * p + column], medians[3 + column]);
    }
    printf("\n");
  }
  printf("(ratios against the bare Qt window)\n");
  XCloseDisplay(display);
  return 0;
}
