# Runs from the install alone: no build folder, no NWCLIENT_PATH, no LD_LIBRARY_PATH.
file(REMOVE_RECURSE ${PREFIX} ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX} RESULT_VARIABLE rc OUTPUT_QUIET)
if(rc)
  message(FATAL_ERROR "install failed")
endif()

# Only the public headers are installed.
foreach(private ostrel/client.h nwnds/values.h nwprop/names.h nwclient/netware_path.h redirector.h
        nwbase/unit_objects.h)
  if(EXISTS ${PREFIX}/${INCLUDEDIR}/rudodor4/${private})
    message(FATAL_ERROR "private header installed: ${private}")
  endif()
endforeach()
foreach(public ostrel/ostrel.h nwnds/nwnds.h nwclient/nwclient.h nwsim/nwsim.h rtl/tstringlist.h
       nwbase/nwbase.h framework/form_loader.h framework/rudodor4_export.h platform/network.h)
  if(NOT EXISTS ${PREFIX}/${INCLUDEDIR}/rudodor4/${public})
    message(FATAL_ERROR "public header missing: ${public}")
  endif()
endforeach()
foreach(lib rudodor4core rudodor4rtl rudodor4platform nwsim rudodor4)
  if(NOT EXISTS ${PREFIX}/${LIBDIR}/lib${lib}.so.4)
    message(FATAL_ERROR "lib${lib}.so has no SOVERSION 4")
  endif()
endforeach()

set(clean_env ${CMAKE_COMMAND} -E env --unset=NWCLIENT_PATH --unset=LD_LIBRARY_PATH --unset=NWSIM_WORKSTATION
  NWSIM_NETWORK=${WORK}/net)
execute_process(COMMAND ${clean_env} ${PREFIX}/bin/nwsim create ${WORK}/net RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(rc)
  message(FATAL_ERROR "nwsim create failed: ${out}")
endif()
execute_process(COMMAND ${clean_env} ${PREFIX}/bin/nw whoami RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(rc OR NOT out MATCHES "You are user [A-Z]+ attached to server")
  message(FATAL_ERROR "the installed nw whoami failed (${rc}): ${out}")
endif()

# consumer(NAME EXPECTED): builds the program in SOURCE/NAME against the install and runs it.
# The programs are built with the library's compiler flags (sanitizer builds need their
# runtime in the program too).
function(consumer name expected)
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE}/${name} -B ${WORK}/${name} -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${PREFIX} "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${LINKER_FLAGS}"
    RESULT_VARIABLE rc OUTPUT_QUIET)
  if(rc)
    message(FATAL_ERROR "configuring ${name} failed")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK}/${name} RESULT_VARIABLE rc)
  if(rc)
    message(FATAL_ERROR "building ${name} failed")
  endif()
  execute_process(COMMAND ${clean_env} ${WORK}/${name}/${name} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(rc OR NOT out MATCHES "${expected}")
    message(FATAL_ERROR "${name} failed (${rc}): ${out}")
  endif()
  message(STATUS "${name}: ${out}")
endfunction()
consumer(consumer "4.50 - 15 Sept 1998\nclient ok\nserver [A-Z]")
consumer(simtest "PASSED")
# A Qt program: a form with a base component, loaded from form text.
consumer(qtconsumer "1.45 / 4.50 - 15 Sept 1998\nclient ok\npalette Ostrel [0-9]+")
