// Starts a program and prints, once a top-level window of the given name is
// mapped, "<milliseconds since just before the start> <process id>"; then
// waits for the program to end. It waits for the X server's events instead
// of polling it, so the program measured does not share the machine with a
// poller that starts a process every few milliseconds.
//
// Usage: map_wait <title> <timeout in ms> <program> [arguments...]
// Exit status: 0 the window was mapped and the program has ended, 1 no
// such window before the timeout or before the program ended, 2 bad use.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double NowMs(void) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

// The window's title as Wine sets it: _NET_WM_NAME (UTF-8), else WM_NAME.
static int HasTitle(Display* display, Window window, const char* title) {
  static Atom netName = None, utf8 = None;
  if (netName == None) {
    netName = XInternAtom(display, "_NET_WM_NAME", False);
    utf8 = XInternAtom(display, "UTF8_STRING", False);
  }
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* value = NULL;
  int same = 0;
  if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                         &after, &value) == Success &&
      value) {
    same = strcmp((const char*)value, title) == 0;
    XFree(value);
    if (count > 0) return same;
  }
  char* name = NULL;
  if (XFetchName(display, window, &name) && name) {
    same = strcmp(name, title) == 0;
    XFree(name);
  }
  return same;
}

static int Viewable(Display* display, Window window) {
  XWindowAttributes attributes;
  return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// A window that goes away between its event and our questions is no error.
static int IgnoreErrors(Display* display, XErrorEvent* error) {
  (void)display;
  (void)error;
  return 0;
}

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: map_wait <title> <timeout ms> <program> [arguments...]\n");
    return 2;
  }
  const char* title = argv[1];
  const double timeout = atof(argv[2]);
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "map_wait: no display\n");
    return 2;
  }
  XSetErrorHandler(IgnoreErrors);
  const Window root = DefaultRootWindow(display);
  // Before the start, so that no map can come before we listen.
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);

  const double start = NowMs();
  const pid_t child = fork();
  if (child == 0) {
    execvp(argv[3], argv + 3);
    _exit(127);
  }
  if (child < 0) return 2;

  int found = 0;
  const int fd = ConnectionNumber(display);
  while (!found) {
    while (!found && XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == CreateNotify) {
        // A title may come after the map: its changes are watched too.
        XSelectInput(display, event.xcreatewindow.window, PropertyChangeMask);
      } else if (event.type == MapNotify) {
        found = HasTitle(display, event.xmap.window, title);
      } else if (event.type == PropertyNotify) {
        found = HasTitle(display, event.xproperty.window, title) &&
                Viewable(display, event.xproperty.window);
      }
    }
    if (found) break;
    const double left = start + timeout - NowMs();
    if (left <= 0 || waitpid(child, NULL, WNOHANG) == child) {
      fprintf(stderr, "map_wait: no window \"%s\" from %s\n", title, argv[3]);
      kill(child, SIGTERM);
      return 1;
    }
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(fd, &readable);
    struct timeval wait = {0, 20000};  // also looks at the program now and then
    select(fd + 1, &readable, NULL, NULL, &wait);
  }
  printf("%.0f %d\n", NowMs() - start, (int)child);
  fflush(stdout);
  XCloseDisplay(display);
  waitpid(child, NULL, 0);
  return 0;
}
