// Source annotations. They describe parameters to a code analyser and expand to nothing in a
// compile, here as in every ordinary Windows build.
#pragma once

#define _In_
#define _In_opt_
#define _In_z_
#define _In_reads_(s)
#define _In_reads_opt_(s)
#define _In_reads_bytes_(s)
#define _Out_
#define _Out_opt_
#define _Out_writes_(s)
#define _Out_writes_opt_(s)
#define _Out_writes_z_(s)
#define _Out_writes_bytes_(s)
#define _Inout_
#define _Inout_opt_
#define _Inout_z_
#define _Ret_maybenull_
#define _Ret_notnull_
#define _Success_(expr)
#define _Check_return_
#define _Must_inspect_result_
#define _Use_decl_annotations_
#define _Printf_format_string_
#define _Null_terminated_
#define _Pre_notnull_
#define _Post_invalid_
#define _Frees_ptr_opt_
#define _Analysis_assume_(expr)
#define _At_(target, annos)
#define _When_(expr, annos)
