// Declarations of the parts of the libf2c I/O run-time that cdmg2csv calls.
//
// The run-time's own f2c.h defines abs/min/max macros that break the C++
// standard library, so the few types and entry points used here are declared
// afresh. They follow the ABI of Debian's libf2c2 on 64-bit platforms, where
// every Fortran integer, length and flag is a 32-bit int. Only fortran_io.cpp
// includes this header.
#ifndef CDMG2CSV_LIBF2C_HPP
#define CDMG2CSV_LIBF2C_HPP

#include <cstdint>
#include <cstdio>

extern "C" {

using f2c_integer = std::int32_t;
using f2c_flag = std::int32_t;
using f2c_length = std::int32_t;

// Control list of an external READ or WRITE statement.
struct f2c_cilist {
  f2c_flag cierr;
  f2c_integer ciunit;
  f2c_flag ciend;
  const char *cifmt;
  f2c_integer cirec;
};

// Control list of an OPEN statement.
struct f2c_olist {
  f2c_flag oerr;
  f2c_integer ounit;
  const char *ofnm;
  f2c_length ofnmlen;
  const char *osta;
  const char *oacc;
  const char *ofm;
  f2c_integer orl;
  const char *oblnk;
};

// Control list of a CLOSE statement.
struct f2c_cllist {
  f2c_flag cerr;
  f2c_integer cunit;
  const char *csta;
};

// Control list of an ENDFILE statement.
struct f2c_alist {
  f2c_flag aerr;
  f2c_integer aunit;
};

// One unit of the run-time's unit table, as libf2c2 lays it out; the unit
// number is the index into f__units.
struct f2c_unit {
  std::FILE *ufd; // the stream, or null when not connected
  char *ufnm;     // the name, or null for the console units
  long uinode;
  int udev;
  int url;
  f2c_flag useek; // whether the file may be positioned, and so cut at close
  f2c_flag ufmt;
  f2c_flag urw;
  f2c_flag ublnk;
  f2c_flag uend;
  f2c_flag uwrt;
  f2c_flag uscrtch;
};
extern f2c_unit f__units[];

// The last value list input read, as a double, before it was stored.
extern double f__lx;

// Start-up and shutdown.
extern int xargc;
extern char **xargv;
void f_init();
void f_exit();
void sig_die(const char *message, int kill);
int s_stop(const char *message, f2c_length length);
void f__fatal(int code, const char *operation);

// Files.
f2c_integer f_open(f2c_olist *control);
f2c_integer f_clos(f2c_cllist *control);
f2c_integer f_end(f2c_alist *control);

// List-directed READ and WRITE on an external unit.
f2c_integer s_rsle(f2c_cilist *control);
f2c_integer e_rsle();
f2c_integer s_wsle(f2c_cilist *control);
f2c_integer e_wsle();
f2c_integer do_lio(f2c_integer *type, f2c_integer *count, char *address,
                   f2c_length length);

// Formatted READ and WRITE on an external unit.
f2c_integer s_rsfe(f2c_cilist *control);
f2c_integer e_rsfe();
f2c_integer s_wsfe(f2c_cilist *control);
f2c_integer e_wsfe();
f2c_integer do_fio(f2c_integer *count, char *address, f2c_length length);

// Fixed-length string assignment: copies and fills the rest with blanks.
void s_copy(char *target, const char *source, f2c_length target_length,
            f2c_length source_length);
}

#endif
