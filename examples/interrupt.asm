; Counts Timer0 interrupts on PORTB of a PIC16F877A (20 MHz crystal), through the Kestrel
; bootloader's interrupt vector. The main loop lies at 0x800 (page 1) and the handler at 0x1000
; (page 2), so both depend on the vector saving and restoring W, STATUS and PCLATH: the loop
; checks W and the Z flag across every instruction an interrupt can fall between, and shows
; 0xEE on PORTB if either was lost.
; Assembled with: gpasm -a inhx32 -I ../firmware -o interrupt.hex interrupt.asm
        list    p=16f877a
        #include <p16f877a.inc>
        #include "kestrel-app.inc"
        radix   dec
        errorlevel -302, -306

        org     KESTREL_RESET
        pagesel main
        goto    main

        org     KESTREL_INTERRUPT
        pagesel tick
        goto    tick

        org     0x0800
main:   banksel TRISB
        clrf    TRISB
        movlw   b'10000111'     ; Timer0 from the instruction clock, prescaler 1:256
        movwf   OPTION_REG
        banksel PORTB
        clrf    PORTB
        bsf     INTCON, T0IE
        bsf     INTCON, GIE
loop:   movlw   0x5A            ; an interrupt that loses W or Z ends up in broken
        xorlw   0x5A
        btfss   STATUS, Z
        goto    broken
        goto    loop
broken: movlw   0xEE
        movwf   PORTB
        goto    $

        org     0x1000
tick:   bcf     INTCON, T0IF
        movlw   1               ; changes W and Z under the main loop's feet
        addwf   PORTB, F
        KESTREL_RETFIE
        end
