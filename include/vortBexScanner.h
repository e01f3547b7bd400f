/* vortBexScanner.h - the C interface of the Bex file reader. */
#ifndef VORTBEXSCANNER_H
#define VORTBEXSCANNER_H

/*
 * The library keeps one model of one Bex file in process-wide state.  A host
 * reads a file with ReadBex, asks for global values, walks the user groups
 * and, per user-group node, the transaction calls, and releases the model
 * with FreeBex.  Use the functions from one thread at a time.
 *
 * Every pointer argument may be null and is then skipped.  Names are copied
 * into caller buffers cut to capacity - 1 bytes and always terminated; a
 * capacity of 0 writes nothing.  All functions use the C calling convention.
 */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Reads the Bex file at path into the model.  Returns 1 on success; 0 when
 * the file cannot be opened, is short, malformed or of an unknown version,
 * and LastRBexErr then holds the message.  Releases a model still held. */
int32_t ReadBex(const char *path);

/* Releases the tables and the name list of the model.  The version, the
 * flags and the last-error text stay readable.  Calling it twice is harmless. */
void FreeBex(void);

/* Self-test: reads path and shows every user-group / transaction pair
 * ("usergroup: %s(%d) transaction: %s(%d)"), then releases the model. */
void TestVortRBex(const char *path);

/* The message of the last failed ReadBex, "" after a successful one.  Never
 * null; the caller must not write to it. */
const char *LastRBexErr(void);

/* version <- the file's version word; flags <- the whole global-flags word.
 * Returns 1. */
int32_t GetBexInfo(uint32_t *version, uint32_t *flags);

/* As GetGlobalBexInfoEx with p3 and p4 null.  Returns 1. */
int32_t GetGlobalBexInfo(uint32_t *version, uint32_t *p1, uint32_t *p2);

/* version <- version word; p1 <- flags & 0x7F000; p2 <- flags & 0x42;
 * p3 <- flags & 0x4; p4 <- flags & 0x8.  Returns 1. */
int32_t GetGlobalBexInfoEx(uint32_t *version, uint32_t *p1, uint32_t *p2,
                           uint32_t *p3, uint32_t *p4);

/* Copies the benchmark name ("$<offset>" or "XUNDEF" when the name pool does
 * not hold it) into buffer. */
void GetBenchmarkName(char *buffer, uint32_t capacity);

/* Starts the user-group walk and delivers its first user group: the name,
 * its value, the node index and position inside the node, and the node's
 * four attributes.  Returns 1 when a user group was delivered, else 0 with
 * nothing written. */
int32_t GetFirstUserGroup(char *name, uint32_t capacity, uint32_t *value,
                          uint16_t *node, uint16_t *position,
                          uint32_t *attribute1, uint32_t *attribute2,
                          uint32_t *attribute3, uint32_t *attribute4);

/* Delivers the next user group of the walk; arguments as GetFirstUserGroup.
 * Returns 0 once the walk has ended, until GetFirstUserGroup restarts it. */
int32_t GetNextUserGroup(char *name, uint32_t capacity, uint32_t *value,
                         uint16_t *node, uint16_t *position,
                         uint32_t *attribute1, uint32_t *attribute2,
                         uint32_t *attribute3, uint32_t *attribute4);

/* Copies the name of the user group at (node, position) without moving the
 * walk.  Returns 1 when that pair exists, else 0. */
int32_t GetUserGroupName(int16_t node, int16_t position, char *buffer,
                         uint32_t capacity);

/* Starts the walk of node's transaction calls and delivers the first: its
 * name and value.  Returns 1 when a call was delivered, else 0. */
int32_t GetFirstTraCall(int16_t node, char *name, uint32_t capacity,
                        uint32_t *value);

/* Delivers the next transaction call of node.  The transaction cursor is one
 * for all nodes.  Returns 1 when a call was delivered, else 0. */
int32_t GetNextTraCall(int16_t node, char *name, uint32_t capacity,
                       uint32_t *value);

/* The name at offset in the name pool, "$<offset>" beyond the pool, or
 * "XUNDEF" for a negative offset or no pool.  The text stays valid until the
 * next lookup, FreeBex or ReadBex. */
const char *GetNameFromNamelist(int32_t offset);

#ifdef __cplusplus
}
#endif

#endif /* VORTBEXSCANNER_H */
