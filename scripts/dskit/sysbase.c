/* libsysbase for dskit: the parts of devkitPro's libsysbase that libnds 1.8 and the
 * devkitARM DS crt0s need, for Debian's newlib (built with
 * --disable-newlib-supplied-syscalls, so libc calls _write, _read, _sbrk, ...).
 * Behaviour follows devkitPro's libsysbase: file descriptors are handles on devoptab
 * devices, 0/1/2 are devoptab_list[0..2]; the heap runs from fake_heap_start to
 * fake_heap_end (set by crt0). */
#define _BUILDING_LIBSYSBASE
#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <ctype.h>
#include <reent.h>
#include <sys/types.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/times.h>
#include <sys/iosupport.h>

#define WEAK __attribute__((weak))
#define SETERR(e) (_REENT->_errno = (e))

/*---------------------------------------------------------------- heap ------*/
char *fake_heap_end = (char *)0;
char *fake_heap_start = (char *)0;

register char *stack_ptr asm("sp");

WEAK void *_sbrk(ptrdiff_t incr)
{
	extern char end asm("__end__");	/* set by the linker script */
	static char *heap_start;
	char *prev, *heap_end;

	if (heap_start == NULL)
		heap_start = fake_heap_start ? fake_heap_start : &end;
	prev = heap_start;
	heap_end = fake_heap_end ? fake_heap_end : stack_ptr;
	if (heap_start + incr > heap_end) {
		SETERR(ENOMEM);
		return (void *)-1;
	}
	heap_start += incr;
	return prev;
}

/*---------------------------------------------------------------- argv ------*/
struct __argv {
	int argvMagic;
	char *commandLine;
	int length;
	int argc;
	char **argv;
	char **endARGV;
};

void build_argv(struct __argv *argstruct)
{
	char *data = argstruct->commandLine;
	int len = argstruct->length;
	char **argv = (char **)(((int)data + len + sizeof(char **)) & ~(sizeof(char **) - 1));
	char *end = data + len - 1;
	int argCount = 0;

	do {
		argv[argCount++] = data;
		while (*data && data < end)
			data++;
		data++;
	} while (data < end);

	*end = '\0';
	argv[argCount] = 0;

	argstruct->argv = argv;
	argstruct->argc = argCount;
	argstruct->endARGV = &argv[argCount + 1];
}

/*------------------------------------------------------------- devices ------*/
static int defaultDevice = -1;

static ssize_t null_write(struct _reent *r, void *fd, const char *ptr, size_t len)
{
	(void)r; (void)fd; (void)ptr;
	return len;
}

const devoptab_t dotab_stdnull = {
	"stdnull", 0, NULL, NULL, null_write, NULL, NULL, NULL
};

#define N4(x) x, x, x, x
const devoptab_t *devoptab_list[STD_MAX] = {
	N4(&dotab_stdnull), N4(&dotab_stdnull), N4(&dotab_stdnull), N4(&dotab_stdnull),
	N4(&dotab_stdnull), N4(&dotab_stdnull), N4(&dotab_stdnull), N4(&dotab_stdnull),
	&dotab_stdnull, &dotab_stdnull, &dotab_stdnull
};

void setDefaultDevice(int device)
{
	if (device > 2 && device < STD_MAX)
		defaultDevice = device;
}

int FindDevice(const char *name)
{
	const char *sep = strchr(name, ':');
	int i, n, len;

	if (sep == NULL)
		return defaultDevice;
	len = sep - name;
	for (i = 0; i < STD_MAX; i++) {
		if (!devoptab_list[i])
			continue;
		n = strlen(devoptab_list[i]->name);
		if (len == n && strncmp(devoptab_list[i]->name, name, n) == 0)
			if (name[n] == ':' || (isdigit((unsigned char)name[n]) && name[n + 1] == ':'))
				return i;
	}
	return -1;
}

int RemoveDevice(const char *name)
{
	int dev = FindDevice(name);

	if (dev < 0)
		return -1;
	devoptab_list[dev] = &dotab_stdnull;
	return 0;
}

int AddDevice(const devoptab_t *device)
{
	int i;

	for (i = 3; i < STD_MAX; i++)
		if (strcmp(devoptab_list[i]->name, device->name) == 0 ||
		    strcmp(devoptab_list[i]->name, "stdnull") == 0)
			break;
	if (i == STD_MAX)
		return -1;
	devoptab_list[i] = device;
	return i;
}

const devoptab_t *GetDeviceOpTab(const char *name)
{
	int dev = FindDevice(name);

	return (dev >= 0 && dev < STD_MAX) ? devoptab_list[dev] : NULL;
}

/*------------------------------------------------------------- handles ------*/
#define MAX_HANDLES 128

static __handle stdin_handle = { 0, 1, NULL };
static __handle stdout_handle = { 1, 1, NULL };
static __handle stderr_handle = { 2, 1, NULL };
static __handle *handles[MAX_HANDLES] = { &stdin_handle, &stdout_handle, &stderr_handle };

static void free_handle(__handle *h)
{
	if (h && h != &stdin_handle && h != &stdout_handle && h != &stderr_handle)
		free(h);
}

void __release_handle(int fd)
{
	if (fd < 0 || fd >= MAX_HANDLES)
		return;
	free_handle(handles[fd]);
	handles[fd] = NULL;
}

int __alloc_handle(int device)
{
	int i;
	__handle *h;

	for (i = 0; i < MAX_HANDLES; i++)
		if (handles[i] == NULL)
			break;
	if (i == MAX_HANDLES) {
		SETERR(ENFILE);
		return -1;
	}
	h = malloc(sizeof(__handle) + devoptab_list[device]->structSize);
	if (h == NULL) {
		SETERR(ENOMEM);
		return -1;
	}
	h->refcount = 1;
	h->device = device;
	h->fileStruct = (void *)&h[1];
	handles[i] = h;
	return i;
}

__handle *__get_handle(int fd)
{
	if (fd < 0 || fd >= MAX_HANDLES)
		return NULL;
	return handles[fd];
}

/*------------------------------------------------------------ syscalls ------*/
#define DEV(h) devoptab_list[(h)->device]

WEAK int _open(const char *file, int flags, int mode)
{
	struct _reent *r = _REENT;
	int dev = FindDevice(file), fd;

	if (dev < 0 || !devoptab_list[dev]->open_r) {
		r->_errno = ENOSYS;
		return -1;
	}
	fd = __alloc_handle(dev);
	if (fd < 0)
		return -1;
	if (devoptab_list[dev]->open_r(r, handles[fd]->fileStruct, file, flags, mode) == -1) {
		__release_handle(fd);
		return -1;
	}
	return fd;
}

WEAK int _close(int fd)
{
	struct _reent *r = _REENT;
	__handle *h = __get_handle(fd);
	int ret = 0;

	if (!h) {
		r->_errno = EBADF;
		return -1;
	}
	handles[fd] = NULL;
	if (--h->refcount == 0) {
		if (DEV(h)->close_r)
			ret = DEV(h)->close_r(r, h->fileStruct);
		free_handle(h);
	}
	return ret;
}

WEAK int _write(int fd, const void *ptr, size_t len)
{
	struct _reent *r = _REENT;
	__handle *h = __get_handle(fd);

	if (!h) {
		r->_errno = EBADF;
		return -1;
	}
	if (!DEV(h)->write_r) {
		r->_errno = ENOSYS;
		return -1;
	}
	return DEV(h)->write_r(r, h->fileStruct, ptr, len);
}

WEAK int _read(int fd, void *ptr, size_t len)
{
	struct _reent *r = _REENT;
	__handle *h = __get_handle(fd);

	if (!h) {
		r->_errno = EBADF;
		return -1;
	}
	if (!DEV(h)->read_r) {
		r->_errno = ENOSYS;
		return -1;
	}
	return DEV(h)->read_r(r, h->fileStruct, ptr, len);
}

WEAK off_t _lseek(int fd, off_t pos, int dir)
{
	struct _reent *r = _REENT;
	__handle *h = __get_handle(fd);

	if (!h) {
		r->_errno = EBADF;
		return -1;
	}
	if (!DEV(h)->seek_r) {
		r->_errno = ENOSYS;
		return -1;
	}
	return DEV(h)->seek_r(r, h->fileStruct, pos, dir);
}

WEAK int _fstat(int fd, struct stat *st)
{
	struct _reent *r = _REENT;
	__handle *h = __get_handle(fd);

	if (!h) {
		r->_errno = EBADF;
		return -1;
	}
	if (!DEV(h)->fstat_r) {
		r->_errno = ENOSYS;
		return -1;
	}
	return DEV(h)->fstat_r(r, h->fileStruct, st);
}

WEAK int _isatty(int fd)
{
	(void)fd;
	return 0;
}

WEAK int _stat(const char *file, struct stat *st)
{
	struct _reent *r = _REENT;
	int dev = FindDevice(file);

	if (dev < 0 || !devoptab_list[dev]->stat_r) {
		r->_errno = ENOSYS;
		return -1;
	}
	return devoptab_list[dev]->stat_r(r, file, st);
}

WEAK int _unlink(const char *name)
{
	struct _reent *r = _REENT;
	int dev = FindDevice(name);

	if (dev < 0 || !devoptab_list[dev]->unlink_r) {
		r->_errno = ENOSYS;
		return -1;
	}
	return devoptab_list[dev]->unlink_r(r, name);
}

WEAK int _link(const char *existing, const char *newLink)
{
	struct _reent *r = _REENT;
	int dev = FindDevice(existing);

	if (dev < 0 || dev != FindDevice(newLink) || !devoptab_list[dev]->link_r) {
		r->_errno = dev < 0 || devoptab_list[dev]->link_r ? EXDEV : ENOSYS;
		return -1;
	}
	return devoptab_list[dev]->link_r(r, existing, newLink);
}

WEAK int _mkdir(const char *path, int mode)
{
	struct _reent *r = _REENT;
	int dev = FindDevice(path);

	if (dev < 0 || !devoptab_list[dev]->mkdir_r) {
		r->_errno = ENOSYS;
		return -1;
	}
	return devoptab_list[dev]->mkdir_r(r, path, mode);
}

WEAK int _gettimeofday(struct timeval *tp, void *tz)
{
	struct _reent *r = _REENT;

	if (__has_syscall(gettod_r))
		return __syscall_gettod_r(r, tp, tz);
	r->_errno = ENOSYS;
	return -1;
}

WEAK void _exit(int rc)
{
	if (__has_syscall(exit))
		__syscall_exit(rc);
	for (;;)
		;
}

WEAK clock_t _times(struct tms *buf)
{
	(void)buf;
	SETERR(ENOSYS);
	return (clock_t)-1;
}

WEAK int _getpid(void) { return 1; }
WEAK int _kill(int pid, int sig) { (void)pid; (void)sig; SETERR(ENOSYS); return -1; }
WEAK int _fork(void) { SETERR(ENOSYS); return -1; }
WEAK int _wait(int *status) { (void)status; SETERR(ENOSYS); return -1; }
WEAK int _execve(const char *name, char *const argv[], char *const env[])
{
	(void)name; (void)argv; (void)env;
	SETERR(ENOSYS);
	return -1;
}
WEAK int _fcntl(int fd, int cmd, int arg) { (void)fd; (void)cmd; (void)arg; SETERR(ENOSYS); return -1; }
