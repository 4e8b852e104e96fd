/* Added to the linker's own script (INSERT): the unwind tables of the C and
   C++ runtimes' objects go, as the program's own are never made. Nothing in
   tovix.exe unwinds: no exceptions, no SEH frames. crtbegin.o's and
   crtend.o's stay, a few bytes: crtbegin.o hands the table's start to
   libgcc's unwinder when a copy of libgcc_s_dw2-1.dll is loaded in the
   process, and it must find a well-formed, terminated table there. */
SECTIONS
{
  /DISCARD/ : { *(EXCLUDE_FILE(*crtbegin.o *crtend.o) .eh_frame*) }
}
INSERT BEFORE .eh_frame;
