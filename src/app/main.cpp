#include "app/ZarvelProgram.h"

int main(int argc, char *argv[])
{
    return RunZarvel(argc, argv);
}
