#ifndef MERRIVANE_SWAP_AT_OPEN_H
#define MERRIVANE_SWAP_AT_OPEN_H

/* The next open() of path to moves the file at from onto it, as another
 * program might between a look at a file and its opening. */
void Swap_At_Open(const char *from, const char *to);

#endif
