tamsel_add_test(services_files_tests services_files LIBS tamsel_services)

# A freshly booted prefix starts its RPC service late, and the Task Scheduler
# service stops again when asked to start before that has settled; a test
# process that opens windows meanwhile can keep the scheduler unreachable for
# its whole life. So both services are brought up with the console tool first,
# for two minutes at most (the scheduler tests skip, saying why, without them).
set(TAMSEL_SCHEDULE_READY_SCRIPT
    "end=$(($(date +%s) + 120))
     while [ $(date +%s) -lt $end ]; do
       timeout 20 '${WINE_RUN}' sc query RpcSs 2>/dev/null | grep -q RUNNING &&
       timeout 20 '${WINE_RUN}' sc query Schedule 2>/dev/null | grep -q RUNNING && exit 0
       timeout 20 '${WINE_RUN}' sc start Schedule >/dev/null 2>&1
       sleep 1
     done
     echo 'Task Scheduler service not running'; exit 0")
add_test(NAME services_files.scheduler_ready COMMAND sh -c "${TAMSEL_SCHEDULE_READY_SCRIPT}")
set_tests_properties(services_files.scheduler_ready PROPERTIES
                     FIXTURES_REQUIRED WineSession FIXTURES_SETUP ServicesFilesScheduler TIMEOUT 600)
set_tests_properties(services_files_tests PROPERTIES FIXTURES_REQUIRED "WineSession;ServicesFilesScheduler")
