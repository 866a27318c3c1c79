/* ini_parse FILE: parses an INI file with inih (Debian's libinih-dev) and stores nothing. The
   baseline bench/run.sh times the PDDX conversion against: reading, building and writing a
   document should cost little more than finding its keys and values. Prints the pairs found. */
#include <ini.h>
#include <stdio.h>

static int count_pair(void* user, const char* section, const char* name, const char* value)
{
    (void)section;
    (void)name;
    (void)value;
    ++*(long*)user;
    return 1;
}

int main(int argc, char** argv)
{
    long pairs = 0;
    if (argc != 2) {
        fprintf(stderr, "usage: ini_parse FILE\n");
        return 2;
    }
    if (ini_parse(argv[1], count_pair, &pairs) < 0) {
        fprintf(stderr, "ini_parse: cannot read %s\n", argv[1]);
        return 1;
    }
    printf("%ld\n", pairs);
    return 0;
}
