/* A client library with the old bytea calls of libpq and a connect that
   always fails without an error text, and nothing else: escaping writes every
   byte in hex ("\x4142"), so a test sees which call the binding took, and
   finishing a connection counts in vx_fake_pq_finished. */
#include <stdlib.h>
#include <string.h>

void PQfreemem(void* ptr) { free(ptr); }

unsigned char* PQescapeBytea(const unsigned char* from, size_t length, size_t* toLength) {
  static const char digits[] = "0123456789abcdef";
  unsigned char* text = malloc(2 * length + 3);
  size_t n = 0;
  if (!text) return NULL;
  text[n++] = '\\';
  text[n++] = 'x';
  for (size_t i = 0; i < length; ++i) {
    text[n++] = (unsigned char)digits[from[i] >> 4];
    text[n++] = (unsigned char)digits[from[i] & 15];
  }
  text[n++] = 0;
  *toLength = n;
  return text;
}

unsigned char* PQunescapeBytea(const unsigned char* text, size_t* length) {
  size_t n = strlen((const char*)text);
  unsigned char* bytes = malloc(n + 1);
  if (!bytes) return NULL;
  memcpy(bytes, text, n);
  *length = n;
  return bytes;
}

int vx_fake_pq_finished = 0;

void* PQconnectdb(const char* conninfo) {
  (void)conninfo;
  return malloc(1);
}

int PQstatus(const void* conn) {
  (void)conn;
  return 1; /* CONNECTION_BAD */
}

const char* PQerrorMessage(const void* conn) {
  (void)conn;
  return "";
}

void PQfinish(void* conn) {
  free(conn);
  ++vx_fake_pq_finished;
}
