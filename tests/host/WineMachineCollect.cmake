# Runs "storcoll collect" on Wine's machine and checks what each method gives.
# Wine 8 presents a machine whose answers the methods must survive:
#   - root\cimv2 lists two Win32_DiskDrive rows but knows no performance
#     classes, and answers an unknown class with no rows rather than a failure;
#   - root\WMI and root\microsoft\windows\storage connect but list nothing of
#     MSStorageDriver_ATAPISmartData or MSFT_PhysicalDisk;
#   - SetupAPI lists no disk interfaces;
#   - \\.\PhysicalDrive0 opens and gives its geometry, but is no NVMe drive.
# So every method finds nothing: the ones that list disks first give no list
# (null), the others an empty one, each with its "nothing found" line and
# no error line.
#
# -DEMULATOR=<runner, parts separated by |> -DPROGRAM=<storcoll.exe>
string(REPLACE "|" ";" emulator "${EMULATOR}")
execute_process(
  COMMAND ${emulator} ${PROGRAM} --log-level trace collect --format json
  OUTPUT_VARIABLE out ERROR_VARIABLE log RESULT_VARIABLE rc
  TIMEOUT 240)
set(failures "")
if(NOT rc STREQUAL "0")
  string(APPEND failures "exit status ${rc}\n")
endif()

# method → what its "items" must be
set(expected
  "CollectPhysicalDiskDynamicInfo=ARRAY"
  "CollectPhysicalDiskStaticInfo=NULL"
  "CollectSmartDynamicInfo=NULL"
  "CollectSmartNvmeInfo=ARRAY"
  "CollectSmartStaticInfo=NULL"
  "CollectNvmeIdentifyControllerData=ARRAY")
string(JSON count ERROR_VARIABLE json_error LENGTH "${out}" collections)
if(json_error)
  string(APPEND failures "output is no JSON document with a list of collections (${json_error}):\n${out}\n")
else()
  list(LENGTH expected wanted)
  if(NOT count EQUAL wanted)
    string(APPEND failures "${count} methods ran, not ${wanted}\n")
  endif()
  foreach(entry IN LISTS expected)
    string(REPLACE "=" ";" entry "${entry}")
    list(GET entry 0 method)
    list(GET entry 1 kind)
    set(found FALSE)
    math(EXPR last "${count} - 1")
    foreach(i RANGE ${last})
      string(JSON name GET "${out}" collections ${i} method)
      if(name STREQUAL method)
        set(found TRUE)
        string(JSON type TYPE "${out}" collections ${i} items)
        if(NOT type STREQUAL kind)
          string(APPEND failures "${method}: items are ${type}, not ${kind}\n")
        elseif(type STREQUAL "ARRAY")
          string(JSON length LENGTH "${out}" collections ${i} items)
          if(NOT length EQUAL 0)
            string(APPEND failures "${method}: ${length} items where there are none\n")
          endif()
        endif()
      endif()
    endforeach()
    if(NOT found)
      string(APPEND failures "${method} did not run\n")
    endif()
  endforeach()
endif()

foreach(line
    "Got total info for PhysicalDiskDynamicInfoRetriever: 0"
    "DEBUG [StrgColl] No disk data been reached out (src/Plugins/StorageCollector/PhysicalDiskStaticInfoRetriever:"
    "DEBUG [StrgColl] No SMART data been reached out"
    "DEBUG [StrgColl] No SMART NVMe data has been reached out"
    "DEBUG [StrgColl] No disk data been reached out (src/Plugins/StorageCollector/SmartStaticInfoRetriever:"
    "DEBUG [StrgColl] No identify controller data has been reached out")
  string(FIND "${log}" "${line}" at)
  if(at EQUAL -1)
    string(APPEND failures "log lacks: ${line}\n")
  endif()
endforeach()
foreach(bad " ERROR [" " WARNING [" "Exception from")
  string(FIND "${log}" "${bad}" at)
  if(NOT at EQUAL -1)
    string(SUBSTRING "${log}" ${at} 300 context)
    string(APPEND failures "unexpected log line: ...${context}\n")
  endif()
endforeach()

if(failures)
  message(FATAL_ERROR "storcoll collect on Wine's machine:\n${failures}--- log ---\n${log}")
endif()
message(STATUS "all six methods gave what Wine's machine calls for")
