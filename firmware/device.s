; Device layer: reset set-up, power-off, the wait-for-key loop with its
; inactivity countdown, the key scan, the tone, the alarm and the self-check.
; The routines the emulator knows by address sit in sections of their own.

        .include "defs.inc"

        .equ COUNTDOWN_START, 0xFFFF    ; wait-loop passes before switching off
        .equ CONFIRM_COUNT, 625         ; fixed: key-confirm delay
        .equ SLP_OFFSET, AT_POWER_OFF_SLP - AT_POWER_OFF  ; the SLP after power_off
        .equ JMP_OFFSET, AT_KEYWAIT_JMP - AT_KEYWAIT      ; the countdown JMP
        .equ TONE_CYCLES, 120           ; 240 edges of the beeper bit
        .equ TONE_DELAY, 12             ; delay after each edge

        .globl reset, power_off, keywait, confirm_delay, tone, alarm
        .globl beep, key_scan, set_lamps, self_check_fail
        .globl power_off_slp, power_off_loop, keywait_jmp
        .globl tone_store_1, tone_store_2

; ----------------------------------------------------------------- reset
        .sect .reset,"ax"
reset:  lds     #stack_top
        ; adapter: side A all inputs (key columns), side B outputs but bit 4
        clr     PIA_ACTL
        clr     PIA_BCTL
        clr     PIA_A                   ; A.Ddr, the data register not yet selected
        ldaa    #0xEF
        staa    PIA_B                   ; B.Ddr
        ldaa    #0x34
        staa    PIA_ACTL                ; data register, CA2 low
        ldaa    #0x3C
        staa    PIA_BCTL                ; data register, CB2 high
        clr     PORT6                   ; print mechanism at rest
        ldaa    #0x4F                   ; display deselected, no key row driven
        staa    PIA_B
        ldaa    #0xFF
        staa    *PORT2_DDR
        clr     LAMPS
        jsr     set_lamps
        jsr     display_setup           ; controller commands 0x54 0x30 0x14
        jsr     tone                    ; the start-up beep
        ldx     #COUNTDOWN_START
        stx     countdown
        jsr     calc_power_on
        jmp     keywait

; ------------------------------------------------------------- power_off
; Power-off: mechanism and lamps off, display controller told to stop
; without a refresh (the last digits stay), then sleep. Entered from the
; host, the alarm and the inactivity countdown, so the stack is set afresh.
        .sect .poweroff,"ax"
power_off:
        lds     #stack_top
        jsr     power_down
        .fill   SLP_OFFSET - (. - power_off), 1, 0x01   ; NOPs up to the SLP
power_off_slp:
        .byte   0x1a                    ; SLP
power_off_loop:
        bra     power_off_loop

power_down:
        clr     PORT6
        clr     LAMPS
        jsr     set_lamps
        ldaa    #0x20
        jsr     disp_command
        ldaa    #0x10
        jmp     disp_command

; --------------------------------------------------------------- keywait
; The wait for a key. Every pass counts the inactivity countdown down; at 0
; the device switches itself off.
        .sect .keywait,"ax"
keywait:
        ldx     countdown
        dex
        stx     countdown
        bne     keywait_scan
        .fill   JMP_OFFSET - (. - keywait), 1, 0x01     ; NOPs up to the JMP
keywait_jmp:
        jmp     power_off
keywait_scan:
        jsr     key_scan
        cmpa    #0xFF
        beq     keywait
        staa    KEY1
        jsr     confirm_delay
        jsr     key_scan                ; the same key again after the delay
        cmpa    KEY1
        bne     keywait
        staa    KEY
        ldx     #COUNTDOWN_START
        stx     countdown
        jsr     key_action
        ; self-check: every key action must leave the stack as it found it
        tsx
        cpx     #stack_top+1
        beq     keywait_release
        jmp     self_check_fail
keywait_release:
        jsr     key_release
        jmp     keywait

; --------------------------------------------------------- confirm_delay
        .sect .confirm,"ax"
confirm_delay:
        ldx     #CONFIRM_COUNT
1:      dex
        bne     1b
        rts

; ------------------------------------------------------------------ tone
; Tone: 120 cycles of the beeper bit. Changes A, B and X (use beep to keep
; them). The two port stores must stay two-byte direct-page stores at
; tone_store_1 and tone_store_2: the emulator tells them from lamp changes by
; address.
        .sect .tone,"ax"
tone:   ldaa    #TONE_CYCLES
        ldab    *PORT2                  ; the lamps as last written
tone_cycle:
        eorb    #0x80
tone_store_1:
        stab    *PORT2
        bsr     tone_wait
        eorb    #0x80
        deca
        nop
tone_store_2:
        stab    *PORT2
        bsr     tone_wait
        tsta
        bne     tone_cycle
        rts
tone_wait:
        ldx     #TONE_DELAY
1:      dex
        bne     1b
        rts

; One beep with every register kept.
beep:   psha
        pshb
        pshx
        jsr     tone
        pulx
        pulb
        pula
        rts

; Port 2 from its shadow; bit 7 (beeper) stays low outside the tone.
set_lamps:
        ldaa    LAMPS
        anda    #0x7F
        staa    LAMPS
        staa    *PORT2
        rts

; Key scan: A = key number (row * 8 + column), or 0xFF with no key down.
; Rows 0-3 are driven low one at a time on side B with CB2 high; row 4 is
; CB2 low. The first row with a key wins, and the lowest column in it.
key_scan:
        ldaa    #0x3C
        staa    PIA_BCTL
        ldx     #row_selects
        clr     SCNROW
1:      ldab    0,x
        stab    PIA_B
        ldaa    PIA_A
        eora    #0xFF
        bne     3f
        inx
        inc     SCNROW
        ldab    SCNROW
        cmpb    #4
        bne     1b
        ldab    #0x4F
        stab    PIA_B
        ldaa    #0x34
        staa    PIA_BCTL                ; CB2 low selects row 4
        ldaa    PIA_A
        ldab    #0x3C
        stab    PIA_BCTL
        eora    #0xFF
        bne     3f
        ldaa    #0xFF
        rts
3:      ldab    SCNROW
        aslb
        aslb
        aslb
2:      lsra
        bcs     4f
        incb
        bra     2b
4:      tba
        rts

; Wait until no key is down, confirmed by a second scan.
key_release:
        jsr     key_scan
        cmpa    #0xFF
        bne     key_release
        jsr     confirm_delay
        jsr     key_scan
        cmpa    #0xFF
        bne     key_release
        rts

; The alarm: 32 beeps with a long pause between them, then switch off.
; Reached when the print mechanism stops answering.
alarm:  lds     #stack_top
        ldaa    #32
        staa    ALARMN
1:      jsr     tone
        jsr     long_delay
        dec     ALARMN
        bne     1b
        jmp     power_off

        .sect .rodata.device,"a"
row_selects:
        .byte   0x4E, 0x4D, 0x4B, 0x47  ; display deselected, one row low

; ------------------------------------------------------- self_check_fail
; Reached only when the stack check after a key action fails.
        .sect .selfcheck,"ax"
self_check_fail:
        swi
        jmp     reset
