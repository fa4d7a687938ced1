# Compiler and linker settings shared by both build trees.

# Our own code builds without warnings; third-party code (GoogleTest) is
# added before these options take effect.
function(sfx_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# Code that ends up in a shipped Windows program.
set(SFX_SHIPPED_COMPILE_OPTIONS
  -Os                      # size is part of the product's performance
  -fno-exceptions          # nothing throws; saves the unwinder tables
  -fno-rtti                # no dynamic_cast/typeid; saves type info
  -ffunction-sections      # lets --gc-sections drop unused functions
  # (no -fdata-sections: mingw then stores zero-filled globals in the file)
  -fno-asynchronous-unwind-tables  # no .eh_frame for code that never unwinds
  -fomit-frame-pointer     # -Os keeps EBP as a frame pointer on i686 mingw: a register and a prologue per function
  # Some distributions' compilers protect the stack by default: that links
  # libssp, for a canary that programs without C runtime start-up never set.
  -fno-stack-protector
  # -Os still copies a function into each caller it has only one of, and
  # loop headers before their loops: measured, each costs the programs
  # more bytes than it saves.
  -fno-inline-functions-called-once
  -fno-partial-inlining
  -fno-tree-ch
)

# Link-time optimisation over a program's own sources lets the linker drop
# and merge across files what -ffunction-sections alone keeps. The objects
# stay fat, so that the Win32 tests link the same library without it.
set(SFX_LTO_OPTIONS -flto -ffat-lto-objects)

# A shipped program: GUI subsystem, stripped, no C++ runtime DLLs.
function(sfx_shipped_program target)
  target_compile_options(${target} PRIVATE ${SFX_SHIPPED_COMPILE_OPTIONS})
  target_link_options(${target} PRIVATE
    -Wl,--gc-sections      # drop what -ffunction-sections split off
    -s                     # strip symbols: they would only add bytes
    -static-libgcc         # no libgcc DLL beside the program
    # The DLLs export their stdcall entries undecorated (a .def file, or
    # --kill-at); this links those names to the decorated functions
    # without a warning for each.
    -Wl,--enable-stdcall-fixup
  )
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    # A program loads at its preferred address on every Windows the kit is
    # for; its relocation table would only serve address-space layout
    # randomisation, which those systems lack, and costs 0.5 to 1 KiB.
    target_link_options(${target} PRIVATE -Wl,--disable-dynamicbase,--disable-reloc-section)
  endif()
  sfx_warnings(${target})
endfunction()

# Text literals that reach ANSI calls are compiled to code page 932, the
# code page of the Japanese texts; sources stay UTF-8. (The win32 tree
# sets them for every target.)
set(SFX_CP932_OPTIONS -finput-charset=UTF-8 -fexec-charset=CP932)

# Host code under test runs with AddressSanitizer and UndefinedBehaviorSanitizer.
set(SFX_SANITIZE_OPTIONS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

# A part of the Windows kit, installed into the kit folder (the DLLs without
# their import libraries).
function(sfx_install_kit)
  foreach(target ${ARGN})
    install(PROGRAMS $<TARGET_FILE:${target}> DESTINATION ${SFX_KIT_FOLDER})
  endforeach()
endfunction()
