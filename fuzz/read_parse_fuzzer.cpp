/* Any bytes as a data file, read and parsed both ways, and as a number
 * and a path; the capacity is recomputed from whatever lands in the fields. */
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "capacity/capacity.h"
#include "datafiles/datafiles.h"
#include "ui/ui.h"

static std::string path;

static void Remove_File() { unlink(path.c_str()); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	if (path.empty()) {
		make_window();
		path = "/tmp/merrivane-fuzz-" + std::to_string(getpid());
		atexit(Remove_File);
	}
	FILE *f = fopen(path.c_str(), "wb");
	if (!f)
		return 0;
	fwrite(data, 1, size, f);
	fclose(f);

	Remember_File(path.c_str());
	if (Read_Data())
		Parse_Spool();
	calc();
	if (Read_Data())
		Parse_Line();
	calc();

	std::string text((const char *)data, size);
	Decimal_Value(text.c_str());
	Remember_File(text.c_str());
	Read_Data();
	return 0;
}
